#include "ui/win32/child_controls.h"

#include "ui/win32/scene_painter.h"

namespace qor {

ControlClass controlClassOf(UINT message) {
    switch (message) {
    case WM_CTLCOLOREDIT:
        return ControlClass::Edit;
    case WM_CTLCOLORLISTBOX:
        return ControlClass::ListBox;
    case WM_CTLCOLORBTN:
        return ControlClass::Button;
    default:
        return ControlClass::Static;
    }
}

LRESULT applyControlPaint(HDC dc, const ControlPaint& paint, HFONT font, ScopedBrush& heldBrush) {
    heldBrush.reset();
    if (paint.text) {
        SetTextColor(dc, colourRef(*paint.text));
    }
    if (paint.background) {
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, colourRef(*paint.background));
    } else {
        SetBkMode(dc, TRANSPARENT);
    }
    if (paint.windowFont && font != nullptr) {
        SelectObject(dc, font);
    }
    if (!paint.brush) {
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    heldBrush.reset(CreateSolidBrush(colourRef(*paint.brush)));
    return reinterpret_cast<LRESULT>(heldBrush.get());
}

void requestHoverNotification(HWND hwnd) {
    constexpr DWORD kHoverTimeMs = 10;
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = TME_HOVER | TME_LEAVE;
    track.hwndTrack = hwnd;
    track.dwHoverTime = kHoverTimeMs;
    TrackMouseEvent(&track);
}

} // namespace qor
