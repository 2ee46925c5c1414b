#include "ui/win32/dialog.h"

namespace qor {
namespace {

// Messages whose result a dialog procedure returns directly instead of through DWLP_MSGRESULT.
bool returnsDirectly(UINT message) {
    switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
        return true;
    default:
        return false;
    }
}

// The dialogs are laid out in the pixels of their skin images. A per-monitor aware program's
// dialogs are rescaled by the dialog manager when they move to a monitor of another DPI
// (Windows 10 1703 and later), which would leave the images short of the window: that is
// switched off. Older systems lack the function and never rescale.
void keepPixelLayout(HWND hwnd) {
    using SetBehaviour =
        BOOL(WINAPI*)(HWND, DIALOG_DPI_CHANGE_BEHAVIORS, DIALOG_DPI_CHANGE_BEHAVIORS);
    static const auto setBehaviour = reinterpret_cast<SetBehaviour>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetDialogDpiChangeBehavior")));
    if (setBehaviour != nullptr) {
        setBehaviour(hwnd, DDC_DISABLE_ALL, DDC_DISABLE_ALL);
    }
}

} // namespace

INT_PTR CDialog::doModal(HWND parent) {
    return DialogBoxParamW(instance_, MAKEINTRESOURCEW(templateId_), parent, &CDialog::dialogProc,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CDialog::doModalIndirect(const DLGTEMPLATE* dialogTemplate, HWND parent) {
    return DialogBoxIndirectParamW(instance_, dialogTemplate, parent, &CDialog::dialogProc,
                                   reinterpret_cast<LPARAM>(this));
}

void CDialog::endDialog(INT_PTR result) {
    if (hwnd_ != nullptr) {
        EndDialog(hwnd_, result);
    }
}

INT_PTR CALLBACK CDialog::dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        self->hwnd_ = hwnd;
        keepPixelLayout(hwnd);
        return self->onInitDialog();
    }
    auto* self = reinterpret_cast<CDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (self == nullptr) {
        return FALSE;
    }
    bool handled = false;
    const LRESULT result = self->onMessage(message, wParam, lParam, handled);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->hwnd_ = nullptr;
    }
    if (!handled) {
        return FALSE;
    }
    if (returnsDirectly(message)) {
        return static_cast<INT_PTR>(result);
    }
    SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

bool registerDialogClassCopy(HINSTANCE instance, const wchar_t* name) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExW(nullptr, WC_DIALOG, &wc)) {
        return false;
    }
    wc.cbSize = sizeof wc;
    wc.hInstance = instance;
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0;
}

} // namespace qor
