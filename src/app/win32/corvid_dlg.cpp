#include "app/win32/corvid_dlg.h"

#include "app/config_file.h"
#include "app/ini_engine.h"
#include "app/win32/ansi_codec_win32.h"
#include "app/win32/file_system_win32.h"
#include "device/win32/pacer_win32.h"
#include "protocol/device_events.h"
#include "protocol/sequences.h"
#include "ui/frame_areas.h"
#include "ui/win32/drawing.h"
#include "ui/win32/frame_painter.h"
#include "ui/win32/mem_dc.h"

#include <commctrl.h>
#include <dbt.h>
#include <psapi.h>
#include <windowsx.h>

namespace qor {
namespace {

std::atomic<HWND> gMainWindow{nullptr};

constexpr UINT_PTR kTrayRetryTimer = 1;
constexpr UINT kTrayRetryMs = 500;
constexpr int kTrayAttempts = 120;

const wchar_t* wide(std::u16string_view text) {
    return reinterpret_cast<const wchar_t*>(text.data());
}
std::wstring wideString(std::u16string_view text) {
    return std::wstring(wide(text), text.size());
}

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

// Diagnostics go to the debugger's channel only; nothing shows them to the user.
void debugTrace(const std::wstring& text) {
    OutputDebugStringW((L"Qor: " + text + L"\n").c_str());
}

void traceMemory(const wchar_t* when) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(GetCurrentProcess(),
                             reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                             sizeof counters)) {
        debugTrace(std::wstring(when) + L": private bytes " +
                   std::to_wstring(counters.PrivateUsage / 1024) + L" KiB, working set " +
                   std::to_wstring(counters.WorkingSetSize / 1024) + L" KiB");
    }
}

COLORREF colourRef(TextColour c) {
    return RGB(c.red, c.green, c.blue);
}

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

CCorvidDlg::CCorvidDlg(HINSTANCE instance, DeviceBackend& backend)
    : CDialog(instance, kMainDialogTemplate), backend_(backend),
      strings_(languageFromId(GetSystemDefaultLangID())),
      link_(backend.commandPort(), backend.pacer(), events_),
      discovery_(backend.enumerator(), link_, backend.eventPort(), messages_,
                 std::u16string(kApplicationTitle)),
      listener_(link_, backend.eventPort(), events_),
      listenerGate_([this] { listenerThread_.resume(); }),
      deviceChange_(discovery_, link_, events_, *this, listenerGate_),
      commands_(link_, backend.pacer(), image_), files_(std::make_unique<Win32FileSystem>()) {
    icon_ = LoadIconW(instance, MAKEINTRESOURCEW(kMainIcon));
    link_.connected = false;
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

    createFonts();

    gMainWindow = hwnd;
    events_.setWindow(hwnd);
    backend_.attach(hwnd);
    taskbarCreatedMessage_ = RegisterWindowMessageW(L"TaskbarCreated");
    addTrayIcon();

    if (discovery_.openDevice()) {
        TimerResolutionScope fineTimer; // the handshake's 5 ms pauses
        link_.handshake();
    } else {
        messages_.show(strings_.text(StringId::MouseNotDetected), kWarningCaption);
        link_.connected = false;
    }

    if (!backend_.createReadEvent()) {
        messages_.show(u"CreateEvent failed.", kApplicationTitle);
        return false;
    }
    if (listenerThread_.create(listener_) && link_.connected) {
        listenerGate_.startOnce();
    }

    notifications_ = registerHidNotifications(hwnd);
    if (notifications_ == nullptr) {
        messages_.show(u"RegisterDeviceNotification failed!!!", kApplicationTitle);
        return false;
    }

    const std::u16string module = modulePath();
    paths_ = buildFilePaths(module);
    loadConfig(*files_, messages_, paths_.config, settings_);
    settings_.takeSnapshot();

    static const Win32AnsiCodec codec;
    ini_ = std::make_unique<IniEngine>(codec);
    strIni_ = readStrIni(*ini_, std::filesystem::path(paths_.strIni), strings_.strIniSection());
    skinName_ = strIni_.skinName;
    skinRoot_ = skinFolder(programFolder(module), skinName_);

    loadBackground();
    textColour_ = textColour(strIni_);

    if (link_.connected) {
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
            RECT client;
            GetClientRect(hwnd(), &client);
            CMemDC mem(dc, client);
            paintPage(mem);
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
        default:
            handled = false;
            return 0;
        }
    case WM_LBUTTONDOWN:
        onLeftButtonDown(lParam);
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
    const TrayState state{link_.connected.load(), settings_.redrawOnNextShow(),
                          pages_.basicDrawn()};
    const TrayDecision d = decideTrayNotification(static_cast<unsigned>(mouseMessage), state);
    switch (d.action) {
    case TrayAction::ReportNotDetected:
        SendMessageW(hwnd(), kDeviceEventMessage, kMouseNotDetectedEvent, 0);
        break;
    case TrayAction::Show:
        if (d.redrawCurrentPage) {
            settings_.consumeRedrawOnNextShow();
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
    const auto balloon =
        deviceEventBalloon(static_cast<std::uint32_t>(code), static_cast<std::uint32_t>(value),
                           strings_, settings_.working, image_.activeSensorType);
    if (balloon) {
        tray_.showBalloon(balloon->text, balloon->title, balloon->timeoutMs);
    }
}

void CCorvidDlg::onLeftButtonDown(LPARAM point) {
    const int x = GET_X_LPARAM(point);
    const int y = GET_Y_LPARAM(point);
    switch (frameClickAt(x, y)) {
    case FrameClick::HideWindow:
        ShowWindow(hwnd(), SW_HIDE);
        return;
    case FrameClick::EndProgram:
        exitProgram();
        return;
    case FrameClick::AreaAction:
        return;
    case FrameClick::MoveWindow:
        break;
    }
    // As a press on a caption would.
    POINT screen{x, y};
    ClientToScreen(hwnd(), &screen);
    SendMessageW(hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(screen.x, screen.y));
}

void CCorvidDlg::drawBasicPage() {
    drawPage(pages_.request(Page::Basic));
}

void CCorvidDlg::redrawCurrentPage() {
    drawPage(pages_.redraw());
}

void CCorvidDlg::drawPage(const PageDrawing& drawing) {
    if (drawing.rereadKeyRows && ini_) {
        strIni_.rows =
            readStrIni(*ini_, std::filesystem::path(paths_.strIni), strings_.strIniSection()).rows;
    }
    if (drawing.firstDraw) {
        connectReadBack();
        if (ini_) {
            handleFirstRunKeyRows(settings_.firstRunFlag, strIni_.rows, strings_, *ini_,
                                  std::filesystem::path(paths_.strIni));
        }
    }
    if (drawing.draw) {
        drawCurrentPage();
    }
}

void CCorvidDlg::drawCurrentPage() {
    HDC dc = GetDC(hwnd());
    if (dc == nullptr) {
        return;
    }
    LARGE_INTEGER frequency{}, begin{}, end{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&begin);
    {
        RECT client;
        GetClientRect(hwnd(), &client);
        CMemDC mem(dc, client);
        paintPage(mem);
    }
    ReleaseDC(hwnd(), dc);
    QueryPerformanceCounter(&end);
    if (frequency.QuadPart > 0) {
        debugTrace(L"page drawn in " +
                   std::to_wstring((end.QuadPart - begin.QuadPart) * 1000000 / frequency.QuadPart) +
                   L" us");
    }
}

void CCorvidDlg::paintPage(HDC dc) {
    RECT client;
    GetClientRect(hwnd(), &client);
    FramePaint frame;
    frame.background = background_;
    frame.backgroundSize = backgroundSize_;
    frame.skinFolder = wideString(skinRoot_);
    frame.page = static_cast<int>(pages_.shown());
    frame.strings = &strings_;
    frame.titleFont = titleFont_;
    frame.textFont = normalFont_;
    frame.textColour = colourRef(textColour_);
    paintFrame(dc, client, frame);
}

void CCorvidDlg::hideWindow() {
    ShowWindow(hwnd(), SW_HIDE);
}

void CCorvidDlg::connectReadBack() {
    if (link_.connected) {
        TimerResolutionScope fineTimer;
        qor::connectReadBack(commands_);
    }
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
