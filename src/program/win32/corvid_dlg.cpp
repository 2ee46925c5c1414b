#include "program/win32/corvid_dlg.h"

#include "base/win32/ansi_codec_win32.h"
#include "device/win32/pacer_win32.h"
#include "macro/macro_file.h"
#include "protocol/event_balloons.h"
#include "protocol/sequences.h"
#include "settings/config_file.h"
#include "settings/ini_engine.h"
#include "settings/win32/file_system_win32.h"
#include "ui/win32/diagnostics.h"
#include "ui/win32/drawing.h"
#include "ui/win32/skin_folders.h"
#include "window/startup_entry.h"
#include "window/tray_menu.h"

#include "qor_version.h"

#include <shellapi.h>

namespace qor {
namespace {

constexpr UINT_PTR kTrayRetryTimer = 1;
constexpr UINT_PTR kForegroundPollTimer = 2;
constexpr UINT_PTR kProfileSwitchTimer = 3;
// Fine enough for the 300 ms a program must stay in front.
constexpr UINT kProfileSwitchTickMs = 100;

const AnsiCodec& ansiCodec() {
    static const Win32AnsiCodec codec;
    return codec;
}

} // namespace

CCorvidDlg::CCorvidDlg(HINSTANCE instance, ProgramBackend& backend)
    : SceneWindow(instance, kMainDialogTemplate, window_), backend_(backend),
      strings_(languageFromId(GetSystemDefaultLangID())),
      icon_(LoadIconW(instance, MAKEINTRESOURCEW(kMainIcon))),
      smallIcon_(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kMainIcon), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR))),
      files_(std::make_unique<Win32FileSystem>()), ini_(ansiCodec(), *files_),
      paths_(buildFilePaths(modulePath())), macros_(ini_, std::filesystem::path(paths_.recordIni)),
      session_(SessionParts{backend, *this, messages_, *files_, ini_, &pointer_}, strings_,
               SessionFiles{paths_.config, std::filesystem::path(paths_.strIni)}),
      dialogRunner_(
          instance, strings_, [this] { return hwnd(); }, [this] { return dialogLook(); },
          [this] { reconcileControls(); }),
      keyDialogs_(dialogRunner_, strings_.language(), [this] { return macros_.listMacros(); }),
      colours_([this] { return hwnd(); }),
      recorder_([this] { return hwnd(); }, [this] { return hookKeys(); }, [this] { unhookKeys(); }),
      skins_(ini_, std::filesystem::path(paths_.strIni), programFolder(modulePath()),
             &skinFolderNames),
      window_(session_.settings().working, session_.keyRows(), session_.mirror().activeSensorType,
              strings_,
              MainWindow::Ports{session_, messages_, keyDialogs_,
                                [this] { return colours_.pick(); },
                                [](const std::function<void()>& work) {
                                    // The mouse is written for about half a second.
                                    HCURSOR old = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
                                    TimerResolutionScope fineTimer;
                                    work();
                                    SetCursor(old);
                                },
                                &pointer_, &macros_, &recorder_, &dialogRunner_, &skins_}) {}

CCorvidDlg::~CCorvidDlg() {
    cleanUp();
}

BOOL CCorvidDlg::onInitDialog() {
    // Only one instance runs: a second one ends here, silently.
    mutex_.reset(CreateMutexW(nullptr, FALSE, L"QorMutex"));
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
    SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon()));

    // No taskbar button: the tray icon is the way in.
    LONG_PTR exStyle = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    exStyle = (exStyle & ~static_cast<LONG_PTR>(WS_EX_APPWINDOW)) | WS_EX_TOOLWINDOW;
    SetWindowLongPtrW(hwnd, GWL_EXSTYLE, exStyle);

    fonts_ = createInterfaceFonts();
    takeSkin(false);
    openHost();
    events_.setWindow(hwnd);
    backend_.attach(hwnd);
    taskbarCreatedMessage_ = RegisterWindowMessageW(L"TaskbarCreated");
    exitRequestMessage_ = RegisterWindowMessageW(kExitRequestMessageName);
    allowMessagesFromBelow();
    addTrayIcon();

    {
        TimerResolutionScope fineTimer; // the handshake's 5 ms pauses
        sessionStarted_ = session_.start();
    }
    if (!sessionStarted_) {
        return false;
    }
    skins_.read(session_.strIni());
    takeSkin(true);
    if (window_.showFirstPage()) {
        refresh();
    }
    foreground_.start(hwnd, kForegroundPollTimer,
                      [this](const ForegroundProgram& program) { foregroundChanged(program); });
    traceMemory(L"start-up done");
    return true;
}

void CCorvidDlg::allowMessagesFromBelow() {
    for (const UINT message : {taskbarCreatedMessage_, exitRequestMessage_}) {
        if (message != 0) {
            ChangeWindowMessageFilterEx(hwnd(), message, MSGFLT_ALLOW, nullptr);
        }
    }
}

void CCorvidDlg::addTrayIcon() {
    if (trayRetry_.tryAgain(tray_.add(hwnd(), kTrayNotifyMessage, smallIcon(), kTrayTip))) {
        SetTimer(hwnd(), kTrayRetryTimer, TrayRetry::kIntervalMs, nullptr);
    } else {
        KillTimer(hwnd(), kTrayRetryTimer);
    }
}

void CCorvidDlg::takeSkin(bool background) {
    const SkinChoice& skin = skins_.current();
    setLook(SceneLook{wideString(skin.folder), fonts_.title.get(), fonts_.normal.get(),
                      colourRef(skin.textColour)});
    if (background) {
        loadBackground();
    }
}

LRESULT CCorvidDlg::onShellMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    switch (message) {
    case WM_NCPAINT:
        // The window is created visible; its first paints put it straight into the tray.
        if (nonClientPaint_.hideInsteadOfPaint()) {
            ShowWindow(hwnd(), SW_HIDE);
            return 0;
        }
        break;
    case WM_PAINT:
        if (!IsIconic(hwnd())) {
            break;
        }
        {
            PAINTSTRUCT ps;
            DrawIcon(BeginPaint(hwnd(), &ps), 0, 0, icon_);
            EndPaint(hwnd(), &ps);
        }
        return 0;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<LRESULT>(icon_);
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_MINIMIZE || (wParam & 0xFFF0) == SC_CLOSE) {
            ShowWindow(hwnd(), SW_HIDE);
            return 0;
        }
        break;
    case WM_DESTROY:
        cleanUp();
        break;
    case WM_COMMAND:
        if (HIWORD(wParam) == 0 && lParam == 0 && trayCommandChosen(LOWORD(wParam))) {
            return 0;
        }
        break;
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMRESUMEAUTOMATIC && sessionStarted_ && !cleanedUp_) {
            // Back from sleep or hibernation: the mouse is greeted again, or given up.
            TimerResolutionScope fineTimer;
            session_.resume();
        }
        return TRUE;
    case kTrayNotifyMessage:
        return onTrayNotification(lParam);
    case WM_TIMER:
        if (cleanedUp_) {
            return 0;
        }
        if (wParam == kTrayRetryTimer) {
            addTrayIcon();
        } else if (wParam == kForegroundPollTimer) {
            foreground_.poll();
            followProfiles();
        } else if (wParam == kProfileSwitchTimer) {
            followProfiles();
        }
        return 0;
    case kDeviceEventMessage:
        session_.deviceEvent(static_cast<DeviceEventCode>(wParam),
                             static_cast<std::uint32_t>(lParam));
        return 0;
    case WM_DEVICECHANGE: {
        TimerResolutionScope fineTimer; // a reopen runs the handshake and the read-back
        return handleDeviceChange(session_.deviceChanges(), wParam, lParam);
    }
    case kRecorderMessage:
        repaintAreas(window_.recorderMessage(wParam, lParam));
        return 0;
    default:
        if (taskbarCreatedMessage_ != 0 && message == taskbarCreatedMessage_ && !cleanedUp_) {
            // The shell restarted and forgot every icon: put ours back.
            tray_.remove();
            trayRetry_.taskbarCreated();
            addTrayIcon();
            return 0;
        }
        if (exitRequestMessage_ != 0 && message == exitRequestMessage_) {
            exitProgram();
            return 0;
        }
        break;
    }
    handled = false;
    return 0;
}

bool CCorvidDlg::onOtherMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return backend_.handleMessage(message, wParam, lParam);
}

void CCorvidDlg::carryOut(HostAction action) {
    switch (action) {
    case HostAction::EndProgram:
        exitProgram();
        return;
    case HostAction::OpenWebLink:
        refresh();
        ShellExecuteW(hwnd(), L"open", wideString(kWebAddress).c_str(), nullptr, nullptr,
                      SW_SHOWNORMAL);
        return;
    case HostAction::SkinChanged:
        // The model has taken and saved the skin; the page is drawn as it is, in the new skin.
        takeSkin(true);
        refresh();
        SetForegroundWindow(hwnd());
        ShowWindow(hwnd(), SW_SHOW);
        return;
    default:
        return;
    }
}

LRESULT CCorvidDlg::onTrayNotification(LPARAM mouseMessage) {
    // A dialog the tray menu opened is still up: one at a time, and the tray waits for it.
    if (trayDialogOpen_) {
        return 0;
    }
    const TrayState state{session_.connected(), session_.settings().redrawOnNextShow(),
                          window_.pageState().basicDrawn()};
    const TrayDecision d = decideTrayNotification(static_cast<unsigned>(mouseMessage), state);
    switch (d.action) {
    case TrayAction::ReportNotDetected:
        SendMessageW(hwnd(), kDeviceEventMessage, kMouseNotDetectedEvent, 0);
        break;
    case TrayAction::Show:
        if (d.redrawCurrentPage) {
            // After Cancel: the restored record, and str.ini's key-row texts read again.
            session_.settings().consumeRedrawOnNextShow();
            window_.redrawCurrentPage();
            refresh();
        } else if (d.drawBasicPage && window_.showPage(Page::Basic)) {
            refresh();
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

namespace {

// Appends the entries to a system menu; a submenu becomes the parent's (and goes with it).
void appendEntries(HMENU menu, const std::vector<TrayMenuEntry>& entries) {
    for (const auto& e : entries) {
        const std::wstring text = wideString(e.text);
        const UINT state = (e.checked ? MF_CHECKED : MF_UNCHECKED) | (e.enabled ? 0 : MF_GRAYED);
        switch (e.kind) {
        case TrayMenuEntry::Kind::Separator:
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            break;
        case TrayMenuEntry::Kind::Item:
            AppendMenuW(menu, MF_STRING | state, e.command, text.c_str());
            break;
        case TrayMenuEntry::Kind::Submenu:
            if (HMENU sub = CreatePopupMenu()) {
                appendEntries(sub, e.children);
                if (!AppendMenuW(menu, MF_POPUP | state, reinterpret_cast<UINT_PTR>(sub),
                                 text.c_str())) {
                    DestroyMenu(sub);
                }
            }
            break;
        }
    }
}

} // namespace

void CCorvidDlg::showTrayMenu() {
    const ScopedMenu menu(CreatePopupMenu());
    if (!menu) {
        return;
    }
    // The folder may have changed behind the program's back.
    session_.profiles().refresh();
    TrayMenuState state{QOR_VERSION_WIDE, startsWithWindows(startup_, modulePath()), {}};
    trayProfiles_.clear();
    for (const auto& p : session_.profiles().items()) {
        state.profiles.push_back({p.label, p.active});
        trayProfiles_.push_back(p.name);
    }
    appendEntries(menu.get(), trayMenu(state, strings_));
    SetForegroundWindow(hwnd());
    POINT at{};
    GetCursorPos(&at);
    TrackPopupMenu(menu.get(), TPM_RIGHTBUTTON | TPM_BOTTOMALIGN, at.x, at.y, 0, hwnd(), nullptr);
    // Without a message after the menu, Windows closes the next tray menu as soon as it opens.
    PostMessageW(hwnd(), WM_NULL, 0, 0);
}

bool CCorvidDlg::trayCommandChosen(unsigned id) {
    const TrayCommand command = trayCommand(id, trayProfiles_.size());
    switch (command.kind) {
    case TrayCommand::Kind::None:
        return false;
    case TrayCommand::Kind::Exit:
        exitProgram();
        break;
    case TrayCommand::Kind::StartWithWindows:
        toggleStartWithWindows();
        break;
    case TrayCommand::Kind::UseProfile:
        useProfile(trayProfiles_[command.profile]);
        break;
    case TrayCommand::Kind::SaveProfileAs:
        saveProfileAs();
        break;
    case TrayCommand::Kind::ManageProfiles:
        manageProfiles();
        break;
    case TrayCommand::Kind::OpenProfilesFolder:
        openProfilesFolder();
        break;
    }
    return true;
}

void CCorvidDlg::useProfile(const std::u16string& name) {
    ProfileUseResult result;
    {
        TimerResolutionScope fineTimer; // the write's pauses
        result = session_.profiles().use(name, ProfileCause::hand);
    }
    // A shown window shows the profile's settings at once; a hidden one when it comes back.
    if (result.changedSettings() && IsWindowVisible(hwnd()) &&
        session_.settings().consumeRedrawOnNextShow()) {
        window_.redrawCurrentPage();
        refresh();
    }
}

bool CCorvidDlg::runTrayDialog(DialogContent& content) {
    const auto now = SwitchClock::now();
    session_.profiles().suppress(kDialogOpen, true, now);
    trayDialogOpen_ = true;
    SetForegroundWindow(hwnd());
    const bool ok = dialogRunner_.run(content);
    trayDialogOpen_ = false;
    session_.profiles().suppress(kDialogOpen, false, SwitchClock::now());
    return ok;
}

void CCorvidDlg::saveProfileAs() {
    session_.profiles().refresh();
    ProfileNameDialog dialog(session_.profiles().store(), strings_);
    if (!runTrayDialog(dialog)) {
        return;
    }
    if (const auto problem = session_.profiles().saveCurrentAs(dialog.result()); !problem.empty()) {
        messages_.show(problem, kApplicationTitle);
    }
}

void CCorvidDlg::manageProfiles() {
    if (const auto problem = session_.profiles().refresh(); !problem.empty()) {
        messages_.show(problem, kApplicationTitle);
    }
    ManageProfilesDialog dialog(session_.profiles().store(), session_.profiles().active(), strings_,
                                &runningPrograms);
    if (!runTrayDialog(dialog)) {
        return;
    }
    if (const auto problem = session_.profiles().carryOut(dialog.changes()); !problem.empty()) {
        messages_.show(problem, kApplicationTitle);
        return;
    }
    if (dialog.useNow()) {
        useProfile(*dialog.useNow());
    }
}

void CCorvidDlg::openProfilesFolder() {
    if (const auto problem = session_.profiles().createFolder(); !problem.empty()) {
        messages_.show(problem, kApplicationTitle);
        return;
    }
    ShellExecuteW(hwnd(), L"open", wideString(session_.profiles().folder()).c_str(), nullptr,
                  nullptr, SW_SHOWNORMAL);
}

void CCorvidDlg::foregroundChanged(const ForegroundProgram& program) {
    if (!sessionStarted_ || cleanedUp_) {
        return;
    }
    session_.profiles().foreground(SwitchClock::now(), program);
    followProfiles();
}

void CCorvidDlg::followProfiles() {
    if (!sessionStarted_) {
        return;
    }
    const auto now = SwitchClock::now();
    ProfileSession& profiles = session_.profiles();
    profiles.suppress(kWindowShown, IsWindowVisible(hwnd()) != FALSE, now);
    // A recording goes on while the window is minimised to the tray.
    profiles.suppress(kRecording, window_.recording(), now);
    profiles.tick(now);
    if (profiles.switchPending()) {
        SetTimer(hwnd(), kProfileSwitchTimer, kProfileSwitchTickMs, nullptr);
    } else {
        KillTimer(hwnd(), kProfileSwitchTimer);
    }
}

void CCorvidDlg::toggleStartWithWindows() {
    const std::u16string exe = modulePath();
    if (!setStartWithWindows(startup_, exe, !startsWithWindows(startup_, exe))) {
        messages_.show(strings_.text(ProgramText::StartupNotChanged), kApplicationTitle);
    }
}

DialogLook CCorvidDlg::dialogLook() const {
    return DialogLook{look().skinFolder, fonts_.normal.get(), look().textColour};
}

void CCorvidDlg::forwardDeviceEvent(DeviceEventCode code, std::uint32_t value) {
    // Sent, so that the balloon is up when the listener reads on.
    events_.deliver(code, value);
}

void CCorvidDlg::showBalloon(const Balloon& balloon) {
    tray_.showBalloon(balloon.text, balloon.title, balloon.timeoutMs);
}

void CCorvidDlg::hideWindow() {
    ShowWindow(hwnd(), SW_HIDE);
}

bool CCorvidDlg::watchDeviceChanges() {
    notifications_ = registerHidNotifications(hwnd());
    return notifications_ != nullptr;
}

void CCorvidDlg::waitWhile(const std::function<bool()>& running) {
    // The listener may be inside its synchronous send to this window: keep taking sent
    // messages while waiting, so that it can finish the send and see the stop request.
    while (running()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_SENDMESSAGE);
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

void CCorvidDlg::phase(std::string_view name) {
    // Where an OK's time goes, for the debugger's channel.
    debugTrace(L"phase " + std::wstring(name.begin(), name.end()) + L" at " +
               std::to_wstring(GetTickCount64()) + L" ms");
}

void CCorvidDlg::cleanUp() {
    if (cleanedUp_) {
        return;
    }
    cleanedUp_ = true;
    KillTimer(hwnd(), kTrayRetryTimer);
    KillTimer(hwnd(), kProfileSwitchTimer);
    foreground_.stop();
    tray_.remove();
    session_.stopListener();
    if (notifications_ != nullptr) {
        UnregisterDeviceNotification(notifications_);
        notifications_ = nullptr;
    }
    backend_.close();
    closeHost();
    events_.setWindow(nullptr);
}

void CCorvidDlg::exitProgram() {
    cleanUp();
    endDialog(0);
}

} // namespace qor
