// What the windows take from the system besides drawing: the interface fonts for the system's
// language and Windows version, and the system colour dialog as the core's colour picker.
#pragma once
#include "base/win32/scoped.h"
#include "ui/scene.h"

#include <windows.h>

#include <functional>
#include <optional>

namespace qor {

struct InterfaceFontHandles {
    ScopedFont normal;
    ScopedFont title;
};
// The fonts of the system's default language on the Windows version that runs.
InterfaceFontHandles createInterfaceFonts();

// The system colour dialog, with the sixteen custom colours it keeps for the run.
class ColourDialog {
public:
    // `fallbackOwner`: the owner when no window of the thread is active.
    explicit ColourDialog(std::function<HWND()> fallbackOwner)
        : fallbackOwner_(std::move(fallbackOwner)) {}
    // Nothing on Cancel.
    std::optional<Rgb> pick();

private:
    std::function<HWND()> fallbackOwner_;
    COLORREF customColours_[16] = {};
};

} // namespace qor
