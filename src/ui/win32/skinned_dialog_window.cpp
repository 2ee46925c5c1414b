#include "ui/win32/skinned_dialog_window.h"

#include "base/virtual_keys.h"
#include "settings/config_file.h"
#include "ui/control_colours.h"
#include "ui/win32/child_controls.h"
#include "ui/win32/diagnostics.h"
#include "ui/win32/drawing.h"

#include <windowsx.h>

namespace qor {
namespace {

// The dialog whose messages the thread's hooks look at: the one open now. Dialogs run on the
// window's thread only, one at a time (a dialog opened over another takes over until it ends).
SkinnedDialogWindow* gOpen = nullptr;
// What the keyboard hook named last, for the dialog to read when its message arrives.
wchar_t gCapturedName[kKeyNameMaxLength + 1] = {};

} // namespace

SkinnedDialogWindow::SkinnedDialogWindow(HINSTANCE instance, DialogContent& content,
                                         const StringTable& strings, DialogLook look)
    : CDialog(instance, dialogTraits(content.kind()).templateId), dialog_(content, strings),
      look_(std::move(look)) {}

SkinnedDialogWindow::~SkinnedDialogWindow() {
    // Whatever ended the dialog, its hooks go with it.
    if (keyboardHook_ != nullptr) {
        UnhookWindowsHookEx(keyboardHook_);
    }
    if (messageHook_ != nullptr) {
        UnhookWindowsHookEx(messageHook_);
    }
    if (gOpen == this) {
        gOpen = outer_;
    }
    controls_.destroyAll();
    if (brush_ != nullptr) {
        DeleteObject(brush_);
    }
    if (background_ != nullptr) {
        DeleteObject(background_);
    }
}

bool SkinnedDialogWindow::run(HWND owner) {
    return doModal(owner) == IDOK;
}

BOOL SkinnedDialogWindow::onInitDialog() {
    StopWatch watch(L"dialog opened"); // from its creation to its first drawing
    HWND hwnd = this->hwnd();
    const DialogTraits& traits = dialog_.traits();
    std::wstring path = look_.skinFolder;
    path.append(traits.background.begin(), traits.background.end());
    SIZE size{};
    if (pngSize(path, size)) {
        background_ = loadPngBitmap(path);
    }
    if (background_ == nullptr) {
        // Without its background the dialog has neither its size nor its controls: after the
        // box it ends, so that nobody is left with an empty window.
        MessageBoxW(hwnd, wideString(kDialogLoadFailureText).c_str(),
                    wideString(traits.failureCaption).c_str(), MB_OK);
        endDialog(IDCANCEL);
        return TRUE;
    }
    backgroundSize_ = size;
    SetWindowPos(hwnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowLongPtrW(hwnd, GWL_STYLE, GetWindowLongPtrW(hwnd, GWL_STYLE) | WS_CLIPCHILDREN);
    controls_.attach(hwnd, look_.font);
    outer_ = gOpen;
    gOpen = this;
    messageHook_ = SetWindowsHookExW(WH_GETMESSAGE, &SkinnedDialogWindow::getMessageHook, nullptr,
                                     GetCurrentThreadId());
    if (traits.capturesKeys) {
        keyboardHook_ = SetWindowsHookExW(WH_KEYBOARD, &SkinnedDialogWindow::keyboardHook, nullptr,
                                          GetCurrentThreadId());
        if (keyboardHook_ == nullptr) {
            const std::u16string text = hookFailureText(dialog_.content().kind(), GetLastError());
            MessageBoxW(hwnd, wide(text), wideString(kApplicationTitle).c_str(), MB_OK);
        }
    }
    refresh();
    return FALSE; // refresh has set the focus: the dialog manager would move it
}

void SkinnedDialogWindow::focusFirstField(const Scene& scene) {
    HWND focus = GetFocus();
    std::optional<int> focused;
    if (focus != nullptr && GetParent(focus) == hwnd() && IsWindowEnabled(focus)) {
        focused = GetDlgCtrlID(focus);
    }
    if (const std::optional<int> field = fieldToFocus(scene, focused)) {
        SetFocus(controls_.window(*field));
    }
}

PaintContext SkinnedDialogWindow::paintContext() const {
    PaintContext c;
    c.background = background_;
    c.backgroundSize = backgroundSize_;
    c.skinFolder = look_.skinFolder;
    c.titleFont = look_.font;
    c.textFont = look_.font;
    c.textColour = look_.textColour;
    return c;
}

void SkinnedDialogWindow::refresh() {
    const Scene scene = dialog_.scene();
    controls_.reconcile(scene.controls);
    focusFirstField(scene);
    if (scene.drawings == painted_) {
        return;
    }
    HDC dc = GetDC(hwnd());
    if (dc != nullptr) {
        paintWindow(hwnd(), dc, scene, paintContext());
        ReleaseDC(hwnd(), dc);
        painted_ = scene.drawings;
    }
}

void SkinnedDialogWindow::repaintAreas(const std::vector<Rect>& areas) {
    if (areas.empty()) {
        return;
    }
    HDC dc = GetDC(hwnd());
    if (dc == nullptr) {
        return;
    }
    const Scene scene = dialog_.scene();
    const PaintContext context = paintContext();
    for (const auto& area : areas) {
        paintWindow(hwnd(), dc, scene, context, &area);
    }
    ReleaseDC(hwnd(), dc);
    painted_ = scene.drawings; // the areas hold all that changed
}

void SkinnedDialogWindow::finish(bool ok) {
    endDialog(ok ? IDOK : IDCANCEL);
}

void SkinnedDialogWindow::keyCaptured() {
    std::optional<int> focusedEdit;
    HWND focus = GetFocus();
    if (focus != nullptr && GetParent(focus) == hwnd()) {
        const int id = GetDlgCtrlID(focus);
        const SceneControl* c = controls_.control(id);
        if (c != nullptr && c->kind == ControlKind::Edit) {
            focusedEdit = id;
        }
    }
    dialog_.content().keyCaptured(reinterpret_cast<const char16_t*>(gCapturedName), focusedEdit);
    refresh();
}

LRESULT SkinnedDialogWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    switch (message) {
    case WM_ERASEBKGND:
        return TRUE; // every drawing covers the whole client area
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd(), &ps);
        const Scene scene = dialog_.scene();
        paintWindow(hwnd(), dc, scene, paintContext());
        EndPaint(hwnd(), &ps);
        painted_ = scene.drawings;
        return 0;
    }
    case WM_LBUTTONDOWN: {
        const DialogEnd end = dialog_.press(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        refresh();
        if (end != DialogEnd::None) {
            finish(end == DialogEnd::Ok);
        }
        return 0;
    }
    case WM_MOUSEMOVE: {
        std::vector<Rect> redraw;
        if (dialog_.pointerMoved(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), redraw)) {
            requestHoverNotification(hwnd());
        }
        repaintAreas(redraw);
        return 0;
    }
    case WM_MOUSEHOVER:
        repaintAreas(dialog_.hoverAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        return 0;
    case WM_MOUSELEAVE:
        repaintAreas(dialog_.pointerLeft());
        return 0;
    case WM_HELP:
        return TRUE; // answered, and nothing opens
    case WM_CLOSE:
        finish(false);
        return 0;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const UINT code = HIWORD(wParam);
        if (lParam == 0 && (id == IDOK || id == IDCANCEL)) {
            // The dialog manager's default commands: Enter and Escape (the capture dialogs
            // never let these through) and the system menu's Close.
            finish(id == IDOK);
            return 0;
        }
        if (controls_.updating()) {
            return 0; // our own changes, not the user's
        }
        if (code == LBN_SELCHANGE || code == LBN_DBLCLK) {
            const LRESULT item = SendMessageW(reinterpret_cast<HWND>(lParam), LB_GETCURSEL, 0, 0);
            if (item != LB_ERR) {
                PostMessageW(hwnd(), kListChoiceMessage, static_cast<WPARAM>(id), item);
            }
            return 0;
        }
        if (code == EN_CHANGE) {
            dialog_.content().textChanged(id, windowText(reinterpret_cast<HWND>(lParam)));
            refresh();
            return 0;
        }
        if (code == EN_KILLFOCUS) {
            dialog_.content().focusLost(id);
            refresh();
            return 0;
        }
        handled = false;
        return 0;
    }
    case kListChoiceMessage:
        dialog_.content().chooseItem(static_cast<int>(wParam), static_cast<std::size_t>(lParam));
        refresh();
        return 0;
    case kSingleKeyCapturedMessage:
    case kComboKeyCapturedMessage:
        keyCaptured();
        return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
        return onControlColour(message, reinterpret_cast<HDC>(wParam),
                               reinterpret_cast<HWND>(lParam));
    default:
        handled = false;
        return 0;
    }
}

LRESULT SkinnedDialogWindow::onControlColour(UINT message, HDC dc, HWND control) {
    const ControlPaint p =
        dialogControlPaint(controlClassOf(message), controls_.control(GetDlgCtrlID(control)));
    return applyControlPaint(dc, p, look_.font, brush_);
}

bool SkinnedDialogWindow::preTranslate(MSG& msg) {
    HWND self = hwnd();
    if (self == nullptr || (msg.hwnd != self && !IsChild(self, msg.hwnd))) {
        return false;
    }
    const std::optional<int> following = dialog_.content().followingList();
    if (!following) {
        return false;
    }
    HWND list = controls_.window(*following);
    if (list == nullptr) {
        return false;
    }
    if (msg.message == WM_MOUSEWHEEL) {
        const ListScroll scroll = listScrollForWheel(GET_WHEEL_DELTA_WPARAM(msg.wParam));
        for (int i = 0; i < scroll.lines; ++i) {
            SendMessageW(list, WM_VSCROLL, scroll.down ? SB_LINEDOWN : SB_LINEUP, 0);
        }
        return true;
    }
    if (msg.message == WM_MOUSEMOVE && msg.hwnd == list) {
        const std::optional<std::size_t> item = listItemAt(list, msg.lParam);
        if (item) {
            dialog_.content().pointerOverItem(*following, *item);
            controls_.reconcile(dialog_.scene().controls);
        }
    }
    return false;
}

LRESULT CALLBACK SkinnedDialogWindow::getMessageHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == PM_REMOVE && gOpen != nullptr) {
        auto* msg = reinterpret_cast<MSG*>(lParam);
        if (gOpen->preTranslate(*msg)) {
            msg->message = WM_NULL; // swallowed
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK SkinnedDialogWindow::keyboardHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code != HC_ACTION || gOpen == nullptr || gOpen->hwnd() == nullptr) {
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    // The name the system gives the key's scan code; down and up name the same key.
    if (GetKeyNameTextW(static_cast<LONG>(lParam), gCapturedName,
                        static_cast<int>(std::size(gCapturedName))) == 0) {
        gCapturedName[0] = L'\0';
    }
    const UINT message = gOpen->dialog_.content().kind() == DialogKind::SingleKey
                             ? kSingleKeyCapturedMessage
                             : kComboKeyCapturedMessage;
    SendMessageW(gOpen->hwnd(), message, 0, 0);
    const bool keyDown = (lParam & (1L << 31)) == 0;
    return gOpen->dialog_.keyDiscarded(static_cast<unsigned>(wParam), keyDown) ? 1 : 0;
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
