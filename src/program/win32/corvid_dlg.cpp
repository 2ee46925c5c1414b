#include "program/win32/corvid_dlg.h"

#include "base/win32/ansi_codec_win32.h"
#include "device/win32/pacer_win32.h"
#include "macro/macro_file.h"
#include "protocol/event_balloons.h"
#include "protocol/sequences.h"
#include "settings/config_file.h"
#include "settings/ini_engine.h"
#include "settings/win32/file_system_win32.h"
#include "ui/control_colours.h"
#include "ui/win32/child_controls.h"
#include "ui/win32/diagnostics.h"
#include "ui/win32/drawing.h"
#include "ui/win32/mem_dc.h"
#include "ui/win32/skin_folders.h"
#include "window/frame_areas.h"
#include "window/skins_dialog.h"

#include <commctrl.h>
#include <commdlg.h>
#include <dbt.h>
#include <psapi.h>
#include <shellapi.h>
#include <windowsx.h>

namespace qor {
namespace {

std::atomic<HWND> gMainWindow{nullptr};

constexpr UINT_PTR kTrayRetryTimer = 1;
constexpr UINT kTrayRetryMs = 500;
constexpr int kTrayAttempts = 120;

// The running system's version; GetVersionEx answers what the manifest claims, not the truth.
void windowsVersion(unsigned& major, unsigned& minor) {
    major = 10;
    minor = 0;
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (ntdll == nullptr) {
        return;
    }
    auto fn = reinterpret_cast<RtlGetVersionFn>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (fn != nullptr && fn(&info) == 0) {
        major = info.dwMajorVersion;
        minor = info.dwMinorVersion;
    }
}

Rgb rgb(TextColour c) {
    return Rgb{c.red, c.green, c.blue};
}

Rect itemRect(HWND list, int item) {
    RECT r{};
    SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&r));
    return Rect{r.left, r.top, r.right, r.bottom};
}

// The system colour dialog's sixteen custom colours, kept for the run as the dialog expects.
COLORREF gCustomColours[16] = {};

// The main window's object, for the thread's message hook.
CCorvidDlg* gDialog = nullptr;

// Icon 710 at the small-icon size, for the title bar and the tray, which would otherwise shrink
// the large one (the icon file holds both sizes). Loaded once and kept until the process ends.
HICON smallIcon(HINSTANCE instance, HICON fallback) {
    static const struct Owned {
        HICON icon;
        ~Owned() {
            if (icon != nullptr) {
                DestroyIcon(icon);
            }
        }
    } owned{static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kMainIcon), IMAGE_ICON,
                                          GetSystemMetrics(SM_CXSMICON),
                                          GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR))};
    return owned.icon != nullptr ? owned.icon : fallback;
}

} // namespace

HWND mainWindow() {
    return gMainWindow.load();
}

namespace {
const AnsiCodec& ansiCodec() {
    static const Win32AnsiCodec codec;
    return codec;
}
} // namespace

CCorvidDlg::CCorvidDlg(HINSTANCE instance, DeviceBackend& backend)
    : CDialog(instance, kMainDialogTemplate), backend_(backend),
      strings_(languageFromId(GetSystemDefaultLangID())),
      files_(std::make_unique<Win32FileSystem>()), ini_(ansiCodec(), *files_),
      paths_(buildFilePaths(modulePath())), macros_(ini_, std::filesystem::path(paths_.recordIni)),
      session_(SessionPorts{backend.enumerator(), backend.commandPort(), backend.eventPort(),
                            backend.pacer(), events_, messages_, *files_, ini_, &pointer_,
                            [](std::string_view phase) {
                                // Where an OK's time goes, for the debugger's channel.
                                debugTrace(L"phase " + std::wstring(phase.begin(), phase.end()) +
                                           L" at " + std::to_wstring(GetTickCount64()) + L" ms");
                            }},
               strings_, SessionFiles{paths_.config, std::filesystem::path(paths_.strIni)}),
      listener_(session_.link(), backend.eventPort(), events_),
      listenerGate_([this] { listenerThread_.resume(); }),
      deviceChange_(session_.discovery(), session_.link(), events_, *this, listenerGate_),
      dialogRunner_(
          instance, strings_, [this] { return hwnd(); }, [this] { return dialogLook(); },
          [this] { controls_.reconcile(window_.scene().controls); }),
      keyDialogs_(dialogRunner_, strings_.language(), [this] { return macros_.listMacros(); }),
      window_(session_.settings().working, session_.keyRows(), session_.image().activeSensorType,
              strings_,
              MainWindow::Ports{session_, messages_, keyDialogs_, [this] { return pickColour(); },
                                [](const std::function<void()>& work) {
                                    // The mouse is written for about half a second.
                                    HCURSOR old = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
                                    TimerResolutionScope fineTimer;
                                    work();
                                    SetCursor(old);
                                },
                                &pointer_, &macros_, this, &dialogRunner_}) {
    icon_ = LoadIconW(instance, MAKEINTRESOURCEW(kMainIcon));
    textColour_ = kInitialTextColour;
}

CCorvidDlg::~CCorvidDlg() {
    cleanUp();
    if (background_ != nullptr) {
        DeleteObject(background_);
    }
    if (normalFont_ != nullptr) {
        DeleteObject(normalFont_);
    }
    if (titleFont_ != nullptr) {
        DeleteObject(titleFont_);
    }
    if (mutex_ != nullptr) {
        CloseHandle(mutex_);
    }
}

BOOL CCorvidDlg::onInitDialog() {
    // Only one instance runs: a second one ends here, silently.
    mutex_ = CreateMutexW(nullptr, FALSE, L"QorMutex");
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        ExitProcess(0);
    }
    startUp();
    return TRUE;
}

bool CCorvidDlg::startUp() {
    HWND hwnd = this->hwnd();
    messages_.setOwner(hwnd);
    SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageW(hwnd, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(smallIcon(instance(), icon_)));

    // No taskbar button: the tray icon is the way in.
    LONG_PTR exStyle = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    exStyle = (exStyle & ~static_cast<LONG_PTR>(WS_EX_APPWINDOW)) | WS_EX_TOOLWINDOW;
    SetWindowLongPtrW(hwnd, GWL_EXSTYLE, exStyle);

    // Child lists lie over the page: the page's drawing must leave them alone.
    SetWindowLongPtrW(hwnd, GWL_STYLE, GetWindowLongPtrW(hwnd, GWL_STYLE) | WS_CLIPCHILDREN);

    createFonts();
    controls_.attach(hwnd, normalFont_);

    gMainWindow = hwnd;
    gDialog = this;
    messageHook_ = SetWindowsHookExW(WH_GETMESSAGE, &CCorvidDlg::getMessageHook, nullptr,
                                     GetCurrentThreadId());
    events_.setWindow(hwnd);
    backend_.attach(hwnd);
    taskbarCreatedMessage_ = RegisterWindowMessageW(L"TaskbarCreated");
    addTrayIcon();

    StartUpSteps steps;
    steps.afterOpen = [this, hwnd] {
        if (!backend_.createReadEvent()) {
            messages_.show(u"CreateEvent failed.", kApplicationTitle);
            return false;
        }
        if (listenerThread_.create(listener_) && session_.connected()) {
            listenerGate_.startOnce();
        }
        notifications_ = registerHidNotifications(hwnd);
        if (notifications_ == nullptr) {
            messages_.show(u"RegisterDeviceNotification failed!!!", kApplicationTitle);
            return false;
        }
        return true;
    };
    steps.afterFiles = [this] {
        skinName_ = session_.strIni().skinName;
        skinRoot_ = skinFolder(programFolder(modulePath()), skinName_);
        loadBackground();
        textColour_ = textColour(session_.strIni());
    };
    bool started = false;
    {
        TimerResolutionScope fineTimer; // the handshake's 5 ms pauses
        started = session_.start(steps);
    }
    if (!started) {
        return false;
    }
    if (session_.connected()) {
        drawBasicPage();
    }
    traceMemory(L"start-up done");
    return true;
}

void CCorvidDlg::addTrayIcon() {
    if (tray_.add(hwnd(), kTrayNotifyMessage, smallIcon(instance(), icon_), kTrayTip)) {
        KillTimer(hwnd(), kTrayRetryTimer);
        return;
    }
    // No tray to take the icon yet: try again for a minute.
    if (++trayAttempts_ < kTrayAttempts) {
        SetTimer(hwnd(), kTrayRetryTimer, kTrayRetryMs, nullptr);
    } else {
        KillTimer(hwnd(), kTrayRetryTimer);
    }
}

void CCorvidDlg::onTimer(UINT_PTR id) {
    if (id == kTrayRetryTimer && !cleanedUp_) {
        addTrayIcon();
    }
}

void CCorvidDlg::createFonts() {
    unsigned major = 0, minor = 0;
    windowsVersion(major, minor);
    const InterfaceFonts fonts = interfaceFonts(GetSystemDefaultLangID(), major, minor);
    normalFont_ =
        createFont(fonts.normal.height, fonts.normal.weight, wideString(fonts.normal.face));
    titleFont_ = createFont(fonts.title.height, fonts.title.weight, wideString(fonts.title.face));
}

void CCorvidDlg::loadBackground() {
    const std::wstring path = wideString(skinRoot_) + L"/main.png";
    SIZE size{};
    if (!pngSize(path, size)) {
        return;
    }
    HBITMAP bitmap = loadPngBitmap(path);
    if (bitmap == nullptr) {
        return;
    }
    if (background_ != nullptr) {
        DeleteObject(background_);
    }
    background_ = bitmap;
    backgroundSize_ = size;
    SetWindowPos(hwnd(), nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CCorvidDlg::onMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    switch (message) {
    case WM_NCPAINT:
        // The window is created visible; its first paints put it straight into the tray.
        if (nonClientPaint_.hideInsteadOfPaint()) {
            ShowWindow(hwnd(), SW_HIDE);
            return 0;
        }
        handled = false;
        return 0;
    case WM_ERASEBKGND:
        return TRUE; // every drawing covers the whole client area
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd(), &ps);
        if (IsIconic(hwnd())) {
            DrawIcon(dc, 0, 0, icon_);
        } else {
            paintWindow(hwnd(), dc, window_.scene(), paintContext());
        }
        EndPaint(hwnd(), &ps);
        return 0;
    }
    case WM_QUERYDRAGICON:
        return reinterpret_cast<LRESULT>(icon_);
    case WM_CLOSE:
        ShowWindow(hwnd(), SW_HIDE);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_MINIMIZE || (wParam & 0xFFF0) == SC_CLOSE) {
            ShowWindow(hwnd(), SW_HIDE);
            return 0;
        }
        handled = false;
        return 0;
    case WM_DESTROY:
        cleanUp();
        handled = false;
        return 0;
    case kTrayNotifyMessage:
        return onTrayNotification(lParam);
    case WM_TIMER:
        onTimer(wParam);
        return 0;
    case kDeviceEventMessage:
        onDeviceEvent(wParam, lParam);
        return 0;
    case WM_DEVICECHANGE: {
        TimerResolutionScope fineTimer; // a reopen runs the handshake and the read-back
        return handleDeviceChange(deviceChange_, wParam, lParam);
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case kExitCommand:
            exitProgram();
            return 0;
        case IDOK:     // Enter
        case IDCANCEL: // Escape
            ShowWindow(hwnd(), SW_HIDE);
            return 0;
        case kDeleteMacroLineCommand:
            window_.command(kDeleteMacroLineCommand);
            refresh();
            return 0;
        default:
            if (HIWORD(wParam) == LBN_SELCHANGE || HIWORD(wParam) == LBN_DBLCLK) {
                onListNotification(LOWORD(wParam), HIWORD(wParam));
                return 0;
            }
            if (HIWORD(wParam) == EN_CHANGE) {
                onEditChange(LOWORD(wParam));
                return 0;
            }
            handled = false;
            return 0;
        }
    case WM_LBUTTONDOWN:
        onLeftButtonDown(lParam);
        return 0;
    case WM_MOUSEMOVE:
        onMouseMove(lParam);
        return 0;
    case WM_MOUSEHOVER:
        onMouseHover(lParam);
        return 0;
    case WM_MOUSELEAVE:
        repaintAreas(window_.pointerLeft());
        return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
        return onControlColour(message, reinterpret_cast<HDC>(wParam),
                               reinterpret_cast<HWND>(lParam));
    case kListChoiceMessage:
        window_.listSelected(LOWORD(wParam),
                             lParam < 0
                                 ? std::nullopt
                                 : std::optional<std::size_t>(static_cast<std::size_t>(lParam)),
                             HIWORD(wParam) != 0);
        refresh();
        return 0;
    case kContextMenuMessage:
        showContextMenu(static_cast<int>(wParam),
                        POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case kRecorderMessage:
        repaintAreas(window_.recorderMessage(wParam, lParam));
        return 0;
    default:
        if (taskbarCreatedMessage_ != 0 && message == taskbarCreatedMessage_ && !cleanedUp_) {
            // The shell restarted and forgot every icon: put ours back.
            tray_.remove();
            trayAttempts_ = 0;
            addTrayIcon();
            return 0;
        }
        handled = backend_.handleMessage(message, wParam, lParam);
        return 0;
    }
}

LRESULT CCorvidDlg::onTrayNotification(LPARAM mouseMessage) {
    const TrayState state{session_.connected(), session_.settings().redrawOnNextShow(),
                          window_.pageState().basicDrawn()};
    const TrayDecision d = decideTrayNotification(static_cast<unsigned>(mouseMessage), state);
    switch (d.action) {
    case TrayAction::ReportNotDetected:
        SendMessageW(hwnd(), kDeviceEventMessage, kMouseNotDetectedEvent, 0);
        break;
    case TrayAction::Show:
        if (d.redrawCurrentPage) {
            session_.settings().consumeRedrawOnNextShow();
            redrawCurrentPage();
        } else if (d.drawBasicPage) {
            drawBasicPage();
        }
        SetForegroundWindow(hwnd());
        ShowWindow(hwnd(), SW_SHOW);
        break;
    case TrayAction::ShowMenu:
        showTrayMenu();
        break;
    case TrayAction::Ignore:
        break;
    }
    return 0;
}

void CCorvidDlg::showTrayMenu() {
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) {
        return;
    }
    const std::wstring exitText = wideString(strings_.text(StringId::Exit));
    AppendMenuW(menu, MF_STRING, kExitCommand, exitText.c_str());
    SetForegroundWindow(hwnd());
    POINT at{};
    GetCursorPos(&at);
    TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_BOTTOMALIGN, at.x, at.y, 0, hwnd(), nullptr);
    // Without a message after the menu, Windows closes the next tray menu as soon as it opens.
    PostMessageW(hwnd(), WM_NULL, 0, 0);
    DestroyMenu(menu);
}

void CCorvidDlg::onDeviceEvent(WPARAM code, LPARAM value) {
    const auto balloon = deviceEventBalloon(
        static_cast<std::uint32_t>(code), static_cast<std::uint32_t>(value), strings_,
        session_.settings().working, session_.image().activeSensorType);
    if (balloon) {
        tray_.showBalloon(balloon->text, balloon->title, balloon->timeoutMs);
    }
}

void CCorvidDlg::onLeftButtonDown(LPARAM point) {
    const int x = GET_X_LPARAM(point);
    const int y = GET_Y_LPARAM(point);
    StopWatch watch(L"press to hidden window");
    // A page change: the model filled, the controls made and the page drawn.
    StopWatch shown(L"press to page shown");
    const Page before = window_.page();
    const WindowAction action = window_.press(x, y);
    watch.enable(action == WindowAction::Hide);
    shown.enable(window_.page() != before);
    if (action == WindowAction::Hide || action == WindowAction::EndProgram) {
        // A hidden window is painted whole when it shows again.
        controls_.reconcile(window_.scene().controls);
    } else {
        refresh();
    }
    carryOut(action, x, y);
}

void CCorvidDlg::carryOut(WindowAction action, int x, int y) {
    switch (action) {
    case WindowAction::None:
        return;
    case WindowAction::OpenSkins:
        openSkins();
        return;
    case WindowAction::Hide:
        ShowWindow(hwnd(), SW_HIDE);
        return;
    case WindowAction::EndProgram:
        exitProgram();
        return;
    case WindowAction::OpenWebLink:
        ShellExecuteW(hwnd(), L"open", wideString(kWebAddress).c_str(), nullptr, nullptr,
                      SW_SHOWNORMAL);
        return;
    case WindowAction::MoveWindow: {
        // As a press on a caption would.
        POINT screen{x, y};
        ClientToScreen(hwnd(), &screen);
        SendMessageW(hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(screen.x, screen.y));
        return;
    }
    }
}

void CCorvidDlg::onListNotification(int id, int code) {
    if (controls_.updating() || (code != LBN_SELCHANGE && code != LBN_DBLCLK)) {
        return;
    }
    HWND list = controls_.window(id);
    if (list == nullptr) {
        return;
    }
    const LRESULT item = SendMessageW(list, LB_GETCURSEL, 0, 0);
    PostMessageW(hwnd(), kListChoiceMessage, MAKEWPARAM(id, code == LBN_DBLCLK ? 1 : 0), item);
}

void CCorvidDlg::onEditChange(int id) {
    if (controls_.updating()) {
        return; // the model's own text
    }
    HWND edit = controls_.window(id);
    if (edit == nullptr) {
        return;
    }
    window_.textChanged(id, windowText(edit));
    // A refused text (a loop count of 0) is replaced at once.
    controls_.reconcile(window_.scene().controls);
}

void CCorvidDlg::onMouseMove(LPARAM point) {
    std::vector<Rect> redraw;
    if (window_.pointerMoved(GET_X_LPARAM(point), GET_Y_LPARAM(point), redraw)) {
        requestHoverNotification(hwnd());
    }
    repaintAreas(redraw);
}

void CCorvidDlg::onMouseHover(LPARAM point) {
    repaintAreas(window_.hoverAt(GET_X_LPARAM(point), GET_Y_LPARAM(point)));
}

void CCorvidDlg::repaintAreas(const std::vector<Rect>& areas) {
    if (areas.empty() || window_.page() == Page::None) {
        return;
    }
    HDC dc = GetDC(hwnd());
    if (dc == nullptr) {
        return;
    }
    StopWatch watch(L"areas drawn");
    // The controls too: a recorded key adds its lines to the sequence list.
    const Scene scene = window_.scene();
    controls_.reconcile(scene.controls);
    const PaintContext context = paintContext();
    for (const auto& area : areas) {
        paintWindow(hwnd(), dc, scene, context, &area);
    }
    ReleaseDC(hwnd(), dc);
}

LRESULT CCorvidDlg::onControlColour(UINT message, HDC dc, HWND control) {
    const ControlPaint p = controlPaint(controlClassOf(message), GetDlgCtrlID(control),
                                        rgb(textColour_), session_.settings().working);
    return applyControlPaint(dc, p, normalFont_, controlBrush_);
}

LRESULT CALLBACK CCorvidDlg::getMessageHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == PM_REMOVE && gDialog != nullptr) {
        auto* msg = reinterpret_cast<MSG*>(lParam);
        if (gDialog->preTranslate(*msg)) {
            msg->message = WM_NULL; // swallowed
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool CCorvidDlg::preTranslate(MSG& msg) {
    HWND main = hwnd();
    // Only what is on its way to this window or its controls, and not while a modal dialog or
    // a message box of its own has taken over.
    if (main == nullptr || (msg.hwnd != main && !IsChild(main, msg.hwnd)) ||
        !IsWindowEnabled(main)) {
        return false;
    }
    if (msg.message == WM_KEYDOWN && window_.keyDownSwallowed()) {
        return true; // a recording runs: the keys are the macro's, not the page's
    }
    if (msg.message == WM_RBUTTONDOWN && msg.hwnd != main) {
        const int id = GetDlgCtrlID(msg.hwnd);
        if (!window_.contextMenuAt(id)) {
            return false;
        }
        POINT screen{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
        ClientToScreen(msg.hwnd, &screen);
        PostMessageW(main, kContextMenuMessage, static_cast<WPARAM>(id),
                     MAKELPARAM(screen.x, screen.y));
        return true;
    }
    if (msg.message == WM_KEYDOWN &&
        window_.keyDown(static_cast<unsigned>(msg.wParam)) == WindowAction::Hide) {
        ShowWindow(main, SW_HIDE);
        return true;
    }
    if (msg.message == WM_MOUSEMOVE && msg.hwnd != main) {
        const int id = GetDlgCtrlID(msg.hwnd);
        const SceneControl* control = controls_.control(id);
        if (control == nullptr || control->kind != ControlKind::List) {
            return false;
        }
        const std::optional<std::size_t> item = listItemAt(msg.hwnd, msg.lParam);
        if (!item) {
            return false;
        }
        window_.pointerOverList(id, *item, itemRect(msg.hwnd, static_cast<int>(*item)));
        controls_.reconcile(window_.scene().controls);
    }
    return false;
}

void CCorvidDlg::showContextMenu(int controlId, POINT screen) {
    const std::optional<std::u16string> entry = window_.contextMenuAt(controlId);
    if (!entry) {
        return; // the page changed in between
    }
    HMENU menu = LoadMenuW(instance(), MAKEINTRESOURCEW(kMacroListMenu));
    if (menu == nullptr) {
        return;
    }
    HMENU popup = GetSubMenu(menu, 0);
    if (popup != nullptr) {
        ModifyMenuW(popup, kDeleteMacroLineCommand, MF_BYCOMMAND | MF_STRING,
                    kDeleteMacroLineCommand, wideString(*entry).c_str());
        // The choice arrives as WM_COMMAND once the menu has closed.
        TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0,
                       hwnd(), nullptr);
    }
    DestroyMenu(menu);
}

LRESULT CALLBACK CCorvidDlg::recordHook(int code, WPARAM wParam, LPARAM lParam) {
    MacroArea* macro = gDialog != nullptr ? gDialog->window_.macro() : nullptr;
    if (macro == nullptr || code < 0) {
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    wchar_t name[kKeyNameMaxLength + 1] = {};
    if (code == HC_ACTION) {
        GetKeyNameTextW(static_cast<LONG>(lParam), name, static_cast<int>(std::size(name)));
    }
    const std::u16string_view keyName(reinterpret_cast<const char16_t*>(name));
    switch (macro->hookProc(code, static_cast<unsigned>(wParam), keyName,
                            static_cast<std::uint32_t>(lParam))) {
    case HookVerdict::Handled:
        return 0;
    case HookVerdict::Discard:
        return 1;
    case HookVerdict::PassOn:
        break;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::optional<std::uint32_t> CCorvidDlg::installKeyboardHook() {
    // This thread's keyboard messages only: no module, no other program's keys.
    recordHook_ =
        SetWindowsHookExW(WH_KEYBOARD, &CCorvidDlg::recordHook, nullptr, GetCurrentThreadId());
    if (recordHook_ == nullptr) {
        return static_cast<std::uint32_t>(GetLastError());
    }
    return std::nullopt;
}

void CCorvidDlg::removeKeyboardHook() {
    if (recordHook_ != nullptr) {
        UnhookWindowsHookEx(recordHook_);
        recordHook_ = nullptr;
    }
}

void CCorvidDlg::setWindowTitle(std::u16string_view title) {
    if (!titleBeforeRecording_) {
        titleBeforeRecording_ = wideString(windowText(hwnd()));
    }
    SetWindowTextW(hwnd(), wideString(title).c_str());
}

void CCorvidDlg::restoreWindowTitle() {
    if (titleBeforeRecording_) {
        SetWindowTextW(hwnd(), titleBeforeRecording_->c_str());
        titleBeforeRecording_.reset();
    }
}

void CCorvidDlg::sendRecorderMessage(std::uintptr_t wParam, std::intptr_t lParam) {
    SendMessageW(hwnd(), kRecorderMessage, static_cast<WPARAM>(wParam),
                 static_cast<LPARAM>(lParam));
}

void CCorvidDlg::postRecorderMessage(std::uintptr_t wParam, std::intptr_t lParam) {
    PostMessageW(hwnd(), kRecorderMessage, static_cast<WPARAM>(wParam),
                 static_cast<LPARAM>(lParam));
}

std::optional<Rgb> CCorvidDlg::pickColour() {
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof cc;
    // Owned by the window the user works in (the skin dialog, or this one), which the colour
    // dialog then disables: nothing beneath it takes clicks while it is open.
    HWND active = GetActiveWindow();
    cc.hwndOwner = active != nullptr ? active : hwnd();
    cc.lpCustColors = gCustomColours;
    if (!ChooseColorW(&cc)) {
        return std::nullopt;
    }
    return Rgb{GetRValue(cc.rgbResult), GetGValue(cc.rgbResult), GetBValue(cc.rgbResult)};
}

DialogLook CCorvidDlg::dialogLook() const {
    return DialogLook{wideString(skinRoot_), normalFont_, colourRef(rgb(textColour_))};
}

void CCorvidDlg::openSkins() {
    const std::u16string root = skinsRoot(programFolder(modulePath()));
    SkinsDialog content(
        SkinChoice{skinName_, skinRoot_, rgb(textColour_)}, root, strings_.language(),
        [root] { return skinFolderNames(root); }, [this] { return pickColour(); });
    if (!dialogRunner_.run(content)) {
        return;
    }
    const SkinChoice& chosen = content.result();
    skinName_ = chosen.name;
    skinRoot_ = chosen.folder;
    const Rgb c = chosen.textColour;
    textColour_ = TextColour{c.red, c.green, c.blue};
    writeSkinSettings(ini_, std::filesystem::path(paths_.strIni), textColour_, skinName_);
    loadBackground();
    redrawCurrentPage();
    SetForegroundWindow(hwnd());
    ShowWindow(hwnd(), SW_SHOW);
}

void CCorvidDlg::drawBasicPage() {
    if (window_.showPage(Page::Basic)) {
        refresh();
    }
}

void CCorvidDlg::redrawCurrentPage() {
    window_.redrawCurrentPage();
    refresh();
}

void CCorvidDlg::refresh() {
    // One scene for both: the controls it needs and what it draws.
    const Scene scene = window_.scene();
    controls_.reconcile(scene.controls);
    HDC dc = GetDC(hwnd());
    if (dc == nullptr) {
        return;
    }
    {
        StopWatch watch(L"page drawn");
        paintWindow(hwnd(), dc, scene, paintContext());
    }
    ReleaseDC(hwnd(), dc);
    traceMemory(L"page drawn");
}

PaintContext CCorvidDlg::paintContext() const {
    PaintContext c;
    c.background = background_;
    c.backgroundSize = backgroundSize_;
    c.skinFolder = wideString(skinRoot_);
    c.titleFont = titleFont_;
    c.textFont = normalFont_;
    c.textColour = colourRef(rgb(textColour_));
    return c;
}

void CCorvidDlg::hideWindow() {
    ShowWindow(hwnd(), SW_HIDE);
}

void CCorvidDlg::connectReadBack() {
    TimerResolutionScope fineTimer;
    session_.readBack();
}

void CCorvidDlg::cleanUp() {
    if (cleanedUp_) {
        return;
    }
    cleanedUp_ = true;
    KillTimer(hwnd(), kTrayRetryTimer);
    tray_.remove();
    stopListener();
    if (notifications_ != nullptr) {
        UnregisterDeviceNotification(notifications_);
        notifications_ = nullptr;
    }
    backend_.close();
    if (messageHook_ != nullptr) {
        UnhookWindowsHookEx(messageHook_);
        messageHook_ = nullptr;
    }
    removeKeyboardHook();
    controls_.destroyAll();
    gDialog = nullptr;
    gMainWindow = nullptr;
    events_.setWindow(nullptr);
}

void CCorvidDlg::exitProgram() {
    cleanUp();
    endDialog(0);
}

void CCorvidDlg::stopListener() {
    if (!listenerGate_.started()) {
        return; // never resumed: it has not run and never will
    }
    // The listener may be inside its synchronous send to this window: keep taking sent
    // messages while waiting, so that it can finish the send and see the stop request.
    listener_.requestStop();
    backend_.eventPort().signal();
    HANDLE thread = listenerThread_.handle();
    if (thread == nullptr) {
        return;
    }
    const DWORD deadline = GetTickCount() + 2000;
    for (;;) {
        const DWORD now = GetTickCount();
        if (static_cast<LONG>(deadline - now) <= 0) {
            return;
        }
        const DWORD r =
            MsgWaitForMultipleObjects(1, &thread, FALSE, deadline - now, QS_SENDMESSAGE);
        if (r != WAIT_OBJECT_0 + 1) {
            return; // ended, timed out or failed
        }
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

} // namespace qor
