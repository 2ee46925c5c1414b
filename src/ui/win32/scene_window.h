// The one Win32 host of every window of the program: it runs a SceneWindowModel in a dialog
// from the resource script. It paints the model's scene on a CMemDC over the skin's background,
// keeps the child controls equal to the scene's, turns every message into an operation of the
// model and carries out what the operation returns; hover and leave tracking, the posted list
// choice, the context menu, control colours and the thread's hooks are its own. The main
// window's shell and the skinned dialogs derive from it and add only what is theirs.
#pragma once
#include "base/win32/scoped.h"
#include "ui/scene_window_model.h"
#include "ui/win32/control_reconciler.h"
#include "ui/win32/dialog.h"
#include "ui/win32/scene_painter.h"
#include "ui/win32/thread_hooks.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qor {

// What a window is drawn with. The fonts belong to whoever made them.
struct SceneLook {
    std::wstring skinFolder; // images, the background among them, are read from here
    HFONT titleFont = nullptr;
    HFONT textFont = nullptr; // the controls' font too
    COLORREF textColour = RGB(0, 255, 0);
};

class SceneWindow : public CDialog, private HookClient {
public:
    // The model may be a member of the derived class: the host only keeps the reference until
    // the window opens.
    SceneWindow(HINSTANCE instance, int templateId, SceneWindowModel& model);
    ~SceneWindow() override;

protected:
    void setLook(SceneLook look);
    const SceneLook& look() const { return look_; }
    // The model's background from the skin folder, and the window takes its size. When it does
    // not load, the model's policy runs and the answer is false.
    bool loadBackground();
    // The window is open: the controls are the model's from now on, the thread's hooks show it
    // its messages, and a model that takes keys from the start has the keyboard hook.
    void openHost();
    // The hooks off and the controls gone; the destructor runs it too.
    void closeHost();
    // The keyboard hook for the model's keyHooked: the system's error code when it cannot be
    // installed.
    std::optional<unsigned long> hookKeys();
    void unhookKeys();

    // The model as it is now: controls reconciled, the focus where the model wants it, and the
    // window drawn when what it draws has changed. True when it was drawn.
    bool refresh();
    // The controls alone: before a modal dialog, and for a window about to go.
    void reconcileControls();
    // A few areas drawn again from the model, its controls reconciled.
    void repaintAreas(const std::vector<Rect>& areas);

    // The derived window's own messages come first: `handled` set for those it takes.
    virtual LRESULT onShellMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/,
                                   bool& handled) {
        handled = false;
        return 0;
    }
    // Messages neither the shell nor the host knows: true when taken.
    virtual bool onOtherMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/) {
        return false;
    }
    // The actions the host leaves to the shell (EndProgram, OpenWebLink, SkinChanged); the
    // controls are reconciled before, the shell draws what it changes.
    virtual void carryOut(HostAction /*action*/) {}

private:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) final;
    LRESULT onCommand(WPARAM wParam, LPARAM lParam, bool& handled);
    // After an operation: drawn anew, or the window's end, hiding or move.
    void afterAction(HostAction action, POINT at = {});
    void paintWhole(HDC dc);
    void onPress(int x, int y);
    void showContextMenu(int controlId, POINT screen);
    // The control of this window that has the focus; a disabled one counts only if `evenDisabled`.
    std::optional<int> focusedControl(bool evenDisabled) const;
    PaintContext paintContext() const;

    // HookClient
    bool hookedMessage(MSG& msg) override;
    std::optional<LRESULT> hookedKey(int code, WPARAM wParam, LPARAM lParam) override;

    SceneWindowModel& model_;
    SceneLook look_;
    ControlReconciler controls_;
    ScopedBitmap background_;
    SIZE backgroundSize_{};
    ScopedBrush controlBrush_;
    std::unique_ptr<HookBinding> hooks_;
    // What the window shows: an operation that changes only controls draws nothing again.
    std::vector<SceneDrawing> painted_;
    int paints_ = 0;
    // The key the keyboard hook named last, and the message that hands it to the model.
    std::u16string keyName_;
    unsigned keyNamedMessage_ = 0;
};

} // namespace qor
