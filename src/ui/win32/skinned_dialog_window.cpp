#include "ui/win32/skinned_dialog_window.h"

#include "ui/win32/diagnostics.h"

namespace qor {

SkinnedDialogWindow::SkinnedDialogWindow(HINSTANCE instance, DialogContent& content,
                                         const StringTable& strings, const DialogLook& look)
    : SkinnedDialogModel{SkinnedDialog(content, strings)},
      SceneWindow(instance, dialogTraits(content.kind()).templateId, dialog) {
    setLook(SceneLook{look.skinFolder, look.font, look.font, look.textColour});
}

BOOL SkinnedDialogWindow::onInitDialog() {
    StopWatch watch(L"dialog opened"); // from its creation to its first drawing
    if (!loadBackground()) {
        return TRUE; // the frame's policy has ended it
    }
    openHost();
    refresh();
    return FALSE; // refresh has set the focus: the dialog manager would move it
}

bool Win32DialogRunner::run(DialogContent& content) {
    beforeRun_();
    bool ok = false;
    {
        SkinnedDialogWindow window(instance_, content, strings_, look_());
        ok = window.run(owner_());
    }
    traceMemory(L"dialog closed");
    return ok;
}

} // namespace qor
