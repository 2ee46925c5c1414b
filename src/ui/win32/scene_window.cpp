#include "ui/win32/scene_window.h"

#include "base/virtual_keys.h"
#include "base/window_ids.h"
#include "settings/config_file.h"
#include "ui/win32/child_controls.h"
#include "ui/win32/diagnostics.h"
#include "ui/win32/drawing.h"

#include <windowsx.h>

namespace qor {
namespace {

Rect itemRect(HWND list, int item) {
    RECT r{};
    SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&r));
    return Rect{r.left, r.top, r.right, r.bottom};
}

} // namespace

SceneWindow::SceneWindow(HINSTANCE instance, int templateId, SceneWindowModel& model)
    : CDialog(instance, templateId), model_(model) {}

SceneWindow::~SceneWindow() {
    closeHost();
}

void SceneWindow::setLook(SceneLook look) {
    look_ = std::move(look);
    controls_.setFont(look_.textFont);
    painted_.clear();
}

bool SceneWindow::loadBackground() {
    std::wstring path = look_.skinFolder;
    const std::u16string_view name = model_.background();
    path.append(name.begin(), name.end());
    SIZE size{};
    ScopedBitmap bitmap;
    if (pngSize(path, size)) {
        bitmap.reset(loadPngBitmap(path));
    }
    if (!bitmap) {
        if (const std::optional<MissingBackground> missing = model_.backgroundMissing()) {
            if (!missing->text.empty()) {
                MessageBoxW(hwnd(), wide(missing->text), wide(missing->caption), MB_OK);
            }
            afterAction(missing->then);
        }
        return false;
    }
    background_ = std::move(bitmap);
    backgroundSize_ = size;
    painted_.clear();
    SetWindowPos(hwnd(), nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

void SceneWindow::openHost() {
    HWND self = hwnd();
    // Child lists lie over the drawing: the drawing must leave them alone.
    SetWindowLongPtrW(self, GWL_STYLE, GetWindowLongPtrW(self, GWL_STYLE) | WS_CLIPCHILDREN);
    controls_.attach(self, look_.textFont);
    hooks_ = std::make_unique<HookBinding>(static_cast<HookClient&>(*this));
    if (model_.hooksKeysAtOpen()) {
        if (const std::optional<unsigned long> error = hookKeys()) {
            MessageBoxW(self, wide(model_.keyHookFailure(*error)),
                        wideString(kApplicationTitle).c_str(), MB_OK);
        }
    }
}

void SceneWindow::closeHost() {
    hooks_.reset();
    controls_.destroyAll();
}

std::optional<unsigned long> SceneWindow::hookKeys() {
    return hooks_ ? hooks_->takeKeys() : std::optional<unsigned long>(ERROR_INVALID_WINDOW_HANDLE);
}

void SceneWindow::unhookKeys() {
    if (hooks_) {
        hooks_->releaseKeys();
    }
}

PaintContext SceneWindow::paintContext() const {
    PaintContext c;
    c.background = background_.get();
    c.backgroundSize = backgroundSize_;
    c.skinFolder = look_.skinFolder;
    c.titleFont = look_.titleFont;
    c.textFont = look_.textFont;
    c.textColour = look_.textColour;
    return c;
}

std::optional<int> SceneWindow::focusedControl(bool evenDisabled) const {
    HWND focus = GetFocus();
    if (focus == nullptr || GetParent(focus) != hwnd() ||
        (!evenDisabled && !IsWindowEnabled(focus))) {
        return std::nullopt;
    }
    return GetDlgCtrlID(focus);
}

void SceneWindow::reconcileControls() {
    if (hooks_) { // open
        controls_.reconcile(model_.scene().controls);
    }
}

bool SceneWindow::refresh() {
    const Scene scene = model_.scene();
    controls_.reconcile(scene.controls);
    if (const std::optional<int> field = model_.focusTarget(focusedControl(false))) {
        SetFocus(controls_.window(*field));
    }
    if (scene.drawings == painted_) {
        return false;
    }
    const WindowDc dc(hwnd());
    if (!dc) {
        return false;
    }
    {
        StopWatch watch(L"window drawn");
        paintWindow(hwnd(), dc.get(), scene, paintContext());
    }
    painted_ = scene.drawings;
    ++paints_;
    traceMemory(L"window drawn");
    return true;
}

void SceneWindow::repaintAreas(const std::vector<Rect>& areas) {
    if (areas.empty()) {
        return;
    }
    // The controls too: a recorded key adds its lines to the sequence list.
    const Scene scene = model_.scene();
    if (scene.drawings.empty()) {
        return; // nothing shown yet: the main window before its first page
    }
    controls_.reconcile(scene.controls);
    const WindowDc dc(hwnd());
    if (!dc) {
        return;
    }
    StopWatch watch(L"areas drawn");
    const PaintContext context = paintContext();
    for (const auto& area : areas) {
        paintWindow(hwnd(), dc.get(), scene, context, &area);
    }
    painted_ = scene.drawings; // the areas hold all that changed
}

void SceneWindow::paintWhole(HDC dc) {
    const Scene scene = model_.scene();
    paintWindow(hwnd(), dc, scene, paintContext());
    painted_ = scene.drawings;
}

void SceneWindow::afterAction(HostAction action, POINT at) {
    switch (action) {
    case HostAction::None:
        refresh();
        return;
    case HostAction::MoveWindow:
        refresh();
        // As a press on a caption would.
        ClientToScreen(hwnd(), &at);
        SendMessageW(hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(at.x, at.y));
        return;
    case HostAction::Hide:
        // A hidden window is painted whole when it shows again.
        reconcileControls();
        ShowWindow(hwnd(), SW_HIDE);
        return;
    case HostAction::Ok:
    case HostAction::Cancel:
        reconcileControls();
        endDialog(action == HostAction::Ok ? IDOK : IDCANCEL);
        return;
    case HostAction::EndProgram:
    case HostAction::OpenWebLink:
    case HostAction::SkinChanged:
        reconcileControls();
        carryOut(action);
        return;
    }
}

void SceneWindow::onPress(int x, int y) {
    StopWatch hidden(L"press to hidden window");
    StopWatch drawn(L"press to window drawn");
    const int paintsBefore = paints_;
    const HostAction action = model_.pressAt(x, y);
    hidden.enable(action == HostAction::Hide);
    afterAction(action, POINT{x, y});
    drawn.enable(paints_ != paintsBefore);
}

LRESULT SceneWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    const LRESULT shell = onShellMessage(message, wParam, lParam, handled);
    if (handled) {
        return shell;
    }
    handled = true;
    switch (message) {
    case WM_ERASEBKGND:
        return TRUE; // every drawing covers the whole client area
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd(), &ps);
        paintWhole(dc);
        EndPaint(hwnd(), &ps);
        return 0;
    }
    case WM_LBUTTONDOWN:
        onPress(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_MOUSEMOVE: {
        std::vector<Rect> redraw;
        if (model_.pointerMoved(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), redraw)) {
            requestHoverNotification(hwnd());
        }
        repaintAreas(redraw);
        return 0;
    }
    case WM_MOUSEHOVER:
        repaintAreas(model_.hoverAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        return 0;
    case WM_MOUSELEAVE:
        repaintAreas(model_.pointerLeft());
        return 0;
    case WM_HELP:
        return TRUE; // answered, and nothing opens
    case WM_CLOSE:
        afterAction(model_.commandChosen(kCancelCommand));
        return 0;
    case WM_COMMAND:
        return onCommand(wParam, lParam, handled);
    case kListChoiceMessage:
        model_.listChosen(LOWORD(wParam),
                          lParam < 0 ? std::nullopt
                                     : std::optional<std::size_t>(static_cast<std::size_t>(lParam)),
                          HIWORD(wParam) != 0);
        refresh();
        return 0;
    case kContextMenuMessage:
        showContextMenu(static_cast<int>(wParam),
                        POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC: {
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        const ControlPaint paint =
            model_.controlColours(controlClassOf(message), id, controls_.control(id));
        return applyControlPaint(reinterpret_cast<HDC>(wParam), paint, look_.textFont,
                                 controlBrush_);
    }
    case WM_DESTROY:
        closeHost();
        handled = false;
        return 0;
    default:
        if (keyNamedMessage_ != 0 && message == keyNamedMessage_) {
            model_.keyNamed(keyName_, focusedControl(true));
            refresh();
            return 0;
        }
        handled = onOtherMessage(message, wParam, lParam);
        return 0;
    }
}

LRESULT SceneWindow::onCommand(WPARAM wParam, LPARAM lParam, bool& handled) {
    const int id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    if (lParam == 0) {
        // A menu's command, or the dialog manager's default ones: Enter and Escape (which a
        // capture dialog never lets through) and the system menu's Close.
        afterAction(model_.commandChosen(id));
        return 0;
    }
    if (controls_.updating()) {
        return 0; // the model's own changes, not the user's
    }
    const HWND control = reinterpret_cast<HWND>(lParam);
    switch (code) {
    case LBN_SELCHANGE:
    case LBN_DBLCLK: {
        const LRESULT item = SendMessageW(control, LB_GETCURSEL, 0, 0);
        PostMessageW(hwnd(), kListChoiceMessage, MAKEWPARAM(id, code == LBN_DBLCLK ? 1 : 0), item);
        return 0;
    }
    case EN_CHANGE:
        model_.textChanged(id, windowText(control));
        // A refused text (a loop count of 0) is replaced at once.
        refresh();
        return 0;
    case EN_KILLFOCUS:
        model_.focusLost(id);
        refresh();
        return 0;
    default:
        handled = false;
        return 0;
    }
}

void SceneWindow::showContextMenu(int controlId, POINT screen) {
    const std::optional<ContextMenu> menu = model_.contextMenu(controlId);
    if (!menu) {
        return; // the page changed in between
    }
    const ScopedMenu loaded(LoadMenuW(instance(), MAKEINTRESOURCEW(menu->menu)));
    HMENU popup = loaded ? GetSubMenu(loaded.get(), 0) : nullptr;
    if (popup == nullptr) {
        return;
    }
    const auto command = static_cast<UINT_PTR>(menu->command);
    ModifyMenuW(popup, static_cast<UINT>(command), MF_BYCOMMAND | MF_STRING, command,
                wide(menu->text));
    // The choice arrives as WM_COMMAND once the menu has closed.
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0,
                   hwnd(), nullptr);
}

bool SceneWindow::hookedMessage(MSG& msg) {
    HWND self = hwnd();
    // Only what is on its way to this window or its controls, and not while a modal dialog or
    // a message box of its own has taken over.
    if (self == nullptr || (msg.hwnd != self && !IsChild(self, msg.hwnd)) ||
        !IsWindowEnabled(self)) {
        return false;
    }
    switch (msg.message) {
    case WM_KEYDOWN: {
        const std::optional<HostAction> taken =
            model_.keyPressed(static_cast<unsigned>(msg.wParam));
        if (taken && *taken != HostAction::None) {
            afterAction(*taken);
        }
        return taken.has_value();
    }
    case WM_RBUTTONDOWN: {
        const int id = GetDlgCtrlID(msg.hwnd);
        if (msg.hwnd == self || !model_.contextMenu(id)) {
            return false;
        }
        POINT screen{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
        ClientToScreen(msg.hwnd, &screen);
        PostMessageW(self, kContextMenuMessage, static_cast<WPARAM>(id),
                     MAKELPARAM(screen.x, screen.y));
        return true;
    }
    case WM_MOUSEWHEEL: {
        const std::optional<int> following = model_.wheelList();
        HWND list = following ? controls_.window(*following) : nullptr;
        if (list == nullptr) {
            return false;
        }
        const ListScroll scroll = listScrollForWheel(GET_WHEEL_DELTA_WPARAM(msg.wParam));
        for (int i = 0; i < scroll.lines; ++i) {
            SendMessageW(list, WM_VSCROLL, scroll.down ? SB_LINEDOWN : SB_LINEUP, 0);
        }
        return true;
    }
    case WM_MOUSEMOVE: {
        // The pointer over a list's items.
        const int id = GetDlgCtrlID(msg.hwnd);
        const SceneControl* control = msg.hwnd != self ? controls_.control(id) : nullptr;
        if (control == nullptr || control->kind != ControlKind::List) {
            return false;
        }
        if (const std::optional<std::size_t> item = listItemAt(msg.hwnd, msg.lParam)) {
            model_.pointerOverList(id, *item, itemRect(msg.hwnd, static_cast<int>(*item)));
            controls_.reconcile(model_.scene().controls);
        }
        return false;
    }
    default:
        return false;
    }
}

std::optional<LRESULT> SceneWindow::hookedKey(int code, WPARAM wParam, LPARAM lParam) {
    if (hwnd() == nullptr) {
        return std::nullopt;
    }
    // The name the system gives the key's scan code; down and up name the same key.
    wchar_t name[kKeyNameMaxLength + 1] = {};
    if (code == HC_ACTION &&
        GetKeyNameTextW(static_cast<LONG>(lParam), name, static_cast<int>(std::size(name))) == 0) {
        name[0] = L'\0';
    }
    const KeyHookAnswer answer = model_.keyHooked(
        code, static_cast<unsigned>(wParam), u16View(name), static_cast<std::uint32_t>(lParam));
    if (answer.keyNamedMessage != 0) {
        keyName_ = u16View(name);
        keyNamedMessage_ = answer.keyNamedMessage;
        SendMessageW(hwnd(), answer.keyNamedMessage, 0, 0);
    }
    switch (answer.verdict) {
    case KeyHookVerdict::Handled:
        return 0;
    case KeyHookVerdict::Discard:
        return 1;
    case KeyHookVerdict::PassOn:
        break;
    }
    return std::nullopt;
}

} // namespace qor
