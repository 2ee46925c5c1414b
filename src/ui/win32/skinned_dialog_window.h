// Runs any skinned dialog modally: the background from the skin, the frame and content painted
// from their scene, the controls reconciled with it, and every message turned into an operation
// of the model. The capture dialogs get a keyboard hook of this thread while they are open.
#pragma once
#include "ui/skinned_dialog.h"
#include "ui/strings.h"
#include "ui/win32/control_reconciler.h"
#include "ui/win32/dialog.h"
#include "ui/win32/scene_painter.h"

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

class SkinnedDialogWindow final : public CDialog {
public:
    SkinnedDialogWindow(HINSTANCE instance, DialogContent& content, const StringTable& strings,
                        DialogLook look);
    ~SkinnedDialogWindow() override;

    // True when the dialog ended with OK.
    bool run(HWND owner);

private:
    BOOL onInitDialog() override;
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void refresh();
    void focusFirstField(const Scene& scene);
    void repaintAreas(const std::vector<Rect>& areas);
    void finish(bool ok);
    void keyCaptured();
    LRESULT onControlColour(UINT message, HDC dc, HWND control);
    bool preTranslate(MSG& msg);
    PaintContext paintContext() const;
    static LRESULT CALLBACK getMessageHook(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK keyboardHook(int code, WPARAM wParam, LPARAM lParam);

    SkinnedDialog dialog_;
    DialogLook look_;
    ControlReconciler controls_;
    HBITMAP background_ = nullptr;
    SIZE backgroundSize_{};
    HBRUSH brush_ = nullptr;
    HHOOK messageHook_ = nullptr;
    HHOOK keyboardHook_ = nullptr;
    SkinnedDialogWindow* outer_ = nullptr; // the dialog this one opened over, if any
    // What the window shows: a change that only touches controls (a typed or captured key)
    // draws nothing again.
    std::vector<SceneDrawing> painted_;
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
