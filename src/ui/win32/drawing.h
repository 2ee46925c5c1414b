// Drawing skin images and text on a surface. Images are loaded from disk at every call (nothing
// is cached), so a skin switch shows at the next draw.
#pragma once
#include "ui/scene.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace qor {

class MessageSink;

// Draws the whole PNG at its own size with its top-left corner at x, y. 32-bit images are
// premultiplied and alpha-blended; others are drawn unchanged. Returns false, silently, when
// the surface is missing or the image cannot be loaded: the area keeps what lay under it.
bool drawPng(HDC dc, std::wstring_view path, int x, int y);

// The skinned dialogs' variant: a failed load is also reported as "LoadPng---Load image failed.".
bool drawPngOrReport(HDC dc, std::wstring_view path, int x, int y, MessageSink& messages,
                     std::u16string_view caption);

// Width and height of a PNG without drawing it; false when it cannot be loaded.
bool pngSize(std::wstring_view path, SIZE& size);

// Loads a PNG into a device-dependent bitmap (24 bits per pixel, alpha composed over black),
// for use as a window background. Null when it cannot be loaded; the caller owns the bitmap.
HBITMAP loadPngBitmap(std::wstring_view path);

// A font of the given height and weight: no italics, underline or strike-out, character set 0,
// default precision and quality, pitch-and-family 0x20.
HFONT createFont(int height, int weight, std::wstring_view faceName);

// Single-line text, vertically centred in `rect`, on a transparent background, in the surface's
// selected font.
void drawText(HDC dc, std::u16string_view text, const RECT& rect, TextAlign align, COLORREF colour,
              bool wrap = false, bool bottom = false);

} // namespace qor
