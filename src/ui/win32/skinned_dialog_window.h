// Runs any skinned dialog modally on the window host: the frame's model (SkinnedDialog) over
// the dialog's content, the background from the skin, and the look the main window gives it.
#pragma once
#include "ui/skinned_dialog.h"
#include "ui/strings.h"
#include "ui/win32/scene_window.h"

#include <windows.h>

#include <functional>
#include <string>

namespace qor {

// What the dialogs take from the main window when they open.
struct DialogLook {
    std::wstring skinFolder;
    HFONT font = nullptr; // the interface language's text font
    COLORREF textColour = RGB(255, 255, 255);
};

namespace detail {
// The frame's model, made before the host that runs it.
struct SkinnedDialogModel {
    SkinnedDialog dialog;
};
} // namespace detail

class SkinnedDialogWindow final : private detail::SkinnedDialogModel, public SceneWindow {
public:
    SkinnedDialogWindow(HINSTANCE instance, DialogContent& content, const StringTable& strings,
                        const DialogLook& look);

    // True when the dialog ended with OK.
    bool run(HWND owner) { return doModal(owner) == IDOK; }

private:
    BOOL onInitDialog() override;
};

// The port the core's dialogs run through.
class Win32DialogRunner final : public DialogRunner {
public:
    // `beforeRun` lets the owner bring its controls up to date first: what the model closed
    // before the dialog (an open list) must not stay on the screen behind it.
    Win32DialogRunner(HINSTANCE instance, const StringTable& strings, std::function<HWND()> owner,
                      std::function<DialogLook()> look, std::function<void()> beforeRun)
        : instance_(instance), strings_(strings), owner_(std::move(owner)), look_(std::move(look)),
          beforeRun_(std::move(beforeRun)) {}
    bool run(DialogContent& content) override;

private:
    HINSTANCE instance_;
    const StringTable& strings_;
    std::function<HWND()> owner_;
    std::function<DialogLook()> look_;
    std::function<void()> beforeRun_;
};

} // namespace qor
