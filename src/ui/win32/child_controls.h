// What the main window and the skinned dialogs do alike with their child controls and the
// pointer: control colours from the core's answer, and the hover notifications they ask for.
#pragma once
#include "base/win32/scoped.h"
#include "ui/control_colours.h"

#include <windows.h>

namespace qor {

// The control class a WM_CTLCOLOR* message is about.
ControlClass controlClassOf(UINT message);

// Sets up `dc` as `paint` says and returns the brush for the control. One brush lives at a time:
// `heldBrush` (the one handed out last) is deleted and replaced.
LRESULT applyControlPaint(HDC dc, const ControlPaint& paint, HFONT font, ScopedBrush& heldBrush);

// Asks for WM_MOUSEHOVER after the pointer rests 10 ms, and for WM_MOUSELEAVE.
void requestHoverNotification(HWND hwnd);

} // namespace qor
