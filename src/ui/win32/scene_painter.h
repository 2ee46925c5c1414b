// Paints a scene on a surface: the window's background bitmap, then every drawing in order.
#pragma once
#include "ui/scene.h"

#include <windows.h>

#include <string>

namespace qor {

struct PaintContext {
    HBITMAP background = nullptr; // "/main.png", loaded at start and at a skin change
    SIZE backgroundSize{};
    std::wstring skinFolder; // images are loaded from here at every drawing
    HFONT titleFont = nullptr;
    HFONT textFont = nullptr;
    COLORREF textColour = RGB(0, 255, 0);
};

// Paints what of `scene` lies in `area` (in client coordinates) on `dc`, which covers at least
// that area.
void paintScene(HDC dc, const Scene& scene, const PaintContext& context, const Rect& area);

// The whole client area, or one area of it, painted off-screen and shown in one transfer.
void paintWindow(HWND hwnd, HDC target, const Scene& scene, const PaintContext& context,
                 const Rect* area = nullptr);

COLORREF colourRef(Rgb c);

} // namespace qor
