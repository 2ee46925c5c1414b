// Off-screen drawing surface: everything is drawn here and reaches the target in one block
// transfer when the surface goes away, so a window never shows a half-drawn state.
#pragma once
#include <windows.h>

namespace qor {

class CMemDC {
public:
    // An empty rectangle stands for the target's clipping box. Callers draw in target
    // coordinates: the surface's origin is moved to the rectangle's top-left corner.
    CMemDC(HDC target, const RECT& rect);
    ~CMemDC();
    CMemDC(const CMemDC&) = delete;
    CMemDC& operator=(const CMemDC&) = delete;

    // The context to draw on: the memory surface, or the target itself when printing.
    HDC dc() const { return memoryDc_ ? memoryDc_ : target_; }
    operator HDC() const { return dc(); }
    const RECT& rect() const { return rect_; }
    bool printing() const { return printing_; }

private:
    HDC target_;
    RECT rect_;
    HDC memoryDc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    bool printing_ = false;
};

} // namespace qor
