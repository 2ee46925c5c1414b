#include "ui/win32/drawing.h"

#include "base/message_sink.h"
#include "ui/image_layout.h"
#include "ui/premultiply.h"

#include <objidl.h>
// objidl.h first: GDI+ needs the COM stream interfaces that WIN32_LEAN_AND_MEAN leaves out.
#include <gdiplus.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace qor {
namespace {

// One decoded image: its pixels as a top-down DIB, and whether it carries alpha.
struct DecodedImage {
    int width = 0;
    int height = 0;
    bool alpha = false;
    std::vector<std::uint8_t> pixels; // BGRA rows when alpha, BGR rows (4-byte aligned) otherwise
    int stride = 0;
};

bool decode(std::wstring_view path, DecodedImage& out) {
    const std::wstring file(path);
    std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromFile(file.c_str(), FALSE));
    if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok) {
        return false;
    }
    const UINT fileWidth = bitmap->GetWidth();
    const UINT fileHeight = bitmap->GetHeight();
    const Gdiplus::PixelFormat format = bitmap->GetPixelFormat();
    const bool fileHasAlpha = Gdiplus::IsAlphaPixelFormat(format) != FALSE;
    out.alpha =
        fileHasAlpha &&
        needsPremultiply(loadedBitsPerPixel(Gdiplus::GetPixelFormatSize(format), fileHasAlpha));
    const Gdiplus::PixelFormat wanted = out.alpha ? PixelFormat32bppARGB : PixelFormat24bppRGB;
    const auto layout = imageLayout(fileWidth, fileHeight, out.alpha ? 4 : 3);
    if (!layout) {
        return false;
    }
    // Within kImageSideMax: the sides and the stride fit an int.
    const int width = static_cast<int>(fileWidth);
    const int height = static_cast<int>(fileHeight);
    out.width = width;
    out.height = height;
    out.stride = static_cast<int>(layout->stride);
    try {
        out.pixels.assign(layout->bytes, 0);
    } catch (const std::bad_alloc&) {
        return false; // not loadable on this machine, like a broken file
    }

    Gdiplus::BitmapData data{};
    data.Width = static_cast<UINT>(width);
    data.Height = static_cast<UINT>(height);
    data.Stride = out.stride;
    data.PixelFormat = wanted;
    data.Scan0 = out.pixels.data();
    Gdiplus::Rect all(0, 0, width, height);
    if (bitmap->LockBits(&all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                         wanted, &data) != Gdiplus::Ok) {
        return false;
    }
    bitmap->UnlockBits(&data);
    if (out.alpha) {
        premultiplyBgra(out.pixels, static_cast<std::size_t>(width),
                        static_cast<std::size_t>(height), static_cast<std::size_t>(out.stride));
    }
    return true;
}

BITMAPINFO bitmapInfo(const DecodedImage& image) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height; // top-down rows, as decoded
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(image.alpha ? 32 : 24);
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

bool blend(HDC dc, const DecodedImage& image, int x, int y) {
    BITMAPINFO info = bitmapInfo(image);
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (section == nullptr || bits == nullptr) {
        return false;
    }
    std::memcpy(bits, image.pixels.data(), image.pixels.size());
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, section);
    BLENDFUNCTION fn{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    const BOOL ok = GdiAlphaBlend(dc, x, y, image.width, image.height, source, 0, 0, image.width,
                                  image.height, fn);
    SelectObject(source, old);
    DeleteDC(source);
    DeleteObject(section);
    return ok != FALSE;
}

bool draw(HDC dc, std::wstring_view path, int x, int y) {
    if (dc == nullptr) {
        return false;
    }
    DecodedImage image;
    if (!decode(path, image)) {
        return false;
    }
    if (image.alpha) {
        return blend(dc, image, x, y);
    }
    BITMAPINFO info = bitmapInfo(image);
    return SetDIBitsToDevice(
               dc, x, y, static_cast<DWORD>(image.width), static_cast<DWORD>(image.height), 0, 0, 0,
               static_cast<UINT>(image.height), image.pixels.data(), &info, DIB_RGB_COLORS) != 0;
}

} // namespace

bool drawPng(HDC dc, std::wstring_view path, int x, int y) {
    return draw(dc, path, x, y);
}

bool drawPngOrReport(HDC dc, std::wstring_view path, int x, int y, MessageSink& messages,
                     std::u16string_view caption) {
    if (dc == nullptr) {
        return false;
    }
    DecodedImage image;
    if (!decode(path, image)) {
        messages.show(u"LoadPng---Load image failed.", caption);
        return false;
    }
    return draw(dc, path, x, y);
}

bool pngSize(std::wstring_view path, SIZE& size) {
    const std::wstring file(path);
    std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromFile(file.c_str(), FALSE));
    if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok) {
        return false;
    }
    // The window is sized to this image: one that could not be drawn sizes nothing.
    if (!imageLayout(bitmap->GetWidth(), bitmap->GetHeight(), 4)) {
        return false;
    }
    size.cx = static_cast<LONG>(bitmap->GetWidth());
    size.cy = static_cast<LONG>(bitmap->GetHeight());
    return true;
}

HBITMAP loadPngBitmap(std::wstring_view path) {
    DecodedImage image;
    if (!decode(path, image)) {
        return nullptr;
    }
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, image.width, image.height);
    HDC target = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    if (bitmap == nullptr || target == nullptr) {
        if (bitmap != nullptr) {
            DeleteObject(bitmap);
        }
        if (target != nullptr) {
            DeleteDC(target);
        }
        return nullptr;
    }
    HGDIOBJ old = SelectObject(target, bitmap);
    RECT all{0, 0, image.width, image.height};
    FillRect(target, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const bool ok = image.alpha ? blend(target, image, 0, 0) : draw(target, path, 0, 0);
    SelectObject(target, old);
    DeleteDC(target);
    if (!ok) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

HFONT createFont(int height, int weight, std::wstring_view faceName) {
    const std::wstring face(faceName);
    return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, 0, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, 0x20, face.c_str());
}

void drawText(HDC dc, std::u16string_view text, const RECT& rect, TextAlign align, COLORREF colour,
              bool wrap, bool bottom) {
    UINT format = DT_NOPREFIX;
    format |= align == TextAlign::Centre  ? DT_CENTER
              : align == TextAlign::Right ? DT_RIGHT
                                          : DT_LEFT;
    RECT r = rect;
    if (wrap) {
        // DT_VCENTER works on single lines only: measure the block and centre it by hand.
        format |= DT_WORDBREAK;
        RECT measured = rect;
        DrawTextW(dc, reinterpret_cast<const wchar_t*>(text.data()), static_cast<int>(text.size()),
                  &measured, format | DT_CALCRECT);
        const int height = measured.bottom - measured.top;
        const int spare = std::max(0, static_cast<int>(rect.bottom - rect.top - height));
        r.top = rect.top + (bottom ? spare : spare / 2);
    } else {
        format |= DT_SINGLELINE | DT_VCENTER;
    }
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = SetTextColor(dc, colour);
    DrawTextW(dc, reinterpret_cast<const wchar_t*>(text.data()), static_cast<int>(text.size()), &r,
              format);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
}

} // namespace qor
