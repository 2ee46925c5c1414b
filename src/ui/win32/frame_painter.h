// The drawing both pages of the main window start from: the background, the page's own
// background, the shared buttons in their normal state and the captions.
#pragma once
#include "ui/strings.h"

#include <windows.h>

#include <string>

namespace qor {

struct FramePaint {
    HBITMAP background = nullptr; // "/main.png", loaded at start
    SIZE backgroundSize{};
    std::wstring skinFolder; // images are loaded from here at every drawing
    int page = 0;            // 0 none, 1 Basic Settings, 2 Advanced Settings
    const StringTable* strings = nullptr;
    HFONT titleFont = nullptr;
    HFONT textFont = nullptr;
    COLORREF textColour = RGB(0, 255, 0);
};

// Paints `client` of `dc` (normally an off-screen surface).
void paintFrame(HDC dc, const RECT& client, const FramePaint& frame);

} // namespace qor
