// A small modal-dialog framework: a dialog runs from a resource template, and its messages reach
// one virtual handler of the object that owns it.
#pragma once
#include <windows.h>

namespace qor {

class CDialog {
public:
    CDialog(HINSTANCE instance, int templateId) : instance_(instance), templateId_(templateId) {}
    virtual ~CDialog() = default;
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Runs the dialog modally; returns the code given to endDialog (-1 when it cannot start).
    INT_PTR doModal(HWND parent = nullptr);
    // The same from a template in memory.
    INT_PTR doModalIndirect(const DLGTEMPLATE* dialogTemplate, HWND parent = nullptr);
    void endDialog(INT_PTR result);

    HWND hwnd() const { return hwnd_; }
    HINSTANCE instance() const { return instance_; }

protected:
    // WM_INITDIALOG. Returns whether the system sets the focus.
    virtual BOOL onInitDialog() { return TRUE; }
    // Every message after WM_INITDIALOG. Set `handled` and return the message's result; results
    // of messages that need one are placed where the dialog manager expects them.
    virtual LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) = 0;

private:
    static INT_PTR CALLBACK dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HINSTANCE instance_;
    int templateId_;
    HWND hwnd_ = nullptr;
};

// Registers a window class with every attribute of the system dialog class under another name,
// so that templates can name it. False when registration fails.
bool registerDialogClassCopy(HINSTANCE instance, const wchar_t* name);

} // namespace qor
