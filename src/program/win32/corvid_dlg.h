// The main window's shell: the main window model on the window host, with what is the shell's
// own: the start-up, the tray icon and its menu, the session's host (device events and
// device-change messages), the recorder's messages, the fonts and skin, and the ways the program
// ends.
#pragma once
#include "base/message_sink.h"
#include "base/win32/scoped.h"
#include "device/win32/hid_win32.h"
#include "keys/key_dialogs.h"
#include "macro/macro_file.h"
#include "macro/macro_recorder.h"
#include "pointer/win32/pointer_system_win32.h"
#include "program/win32/foreground_win32.h"
#include "program/win32/program_backend.h"
#include "program/win32/recorder_host_win32.h"
#include "program/win32/tray_icon.h"
#include "session/session.h"
#include "settings/file_system.h"
#include "settings/ini_engine.h"
#include "settings/paths.h"
#include "settings/settings_state.h"
#include "ui/str_ini.h"
#include "ui/strings.h"
#include "ui/win32/message_box_sink.h"
#include "ui/win32/scene_window.h"
#include "ui/win32/skinned_dialog_window.h"
#include "ui/win32/system_dialogs.h"
#include "window/lifecycle.h"
#include "window/main_window.h"
#include "window/skin_settings.h"
#include "window/win32/startup_registry_win32.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

namespace qor {

inline constexpr std::u16string_view kTrayTip = u"Gaming mouse setting";
// The registered message that asks a running Qor to end as its tray menu's "Exit" does; the
// installer and the uninstaller send it to the window of class QorClass before they replace or
// remove the program.
inline constexpr const wchar_t* kExitRequestMessageName = L"QorExitRequest";

class CCorvidDlg final : public SceneWindow, private SessionHost {
public:
    CCorvidDlg(HINSTANCE instance, ProgramBackend& backend);
    ~CCorvidDlg() override;

    bool connected() const { return session_.connected(); }

private:
    BOOL onInitDialog() override;
    LRESULT onShellMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    bool onOtherMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void carryOut(HostAction action) override;

    // Start-up after the mutex: false when a step ends initialisation early.
    bool startUp();
    // The skin settings' folder and colour as the look; with `background`, its image too.
    void takeSkin(bool background);

    LRESULT onTrayNotification(LPARAM mouseMessage);
    void showTrayMenu();
    // A command of the tray menu (or the dialog manager's): true when it was one.
    bool trayCommandChosen(unsigned id);

    // Profiles: one chosen by hand, the two dialogs, and following the program in front.
    void useProfile(const std::u16string& name);
    void saveProfileAs();
    void manageProfiles();
    void openProfilesFolder();
    void foregroundChanged(const ForegroundProgram& program);
    // The window's visibility as a reason to wait, a tick of the switching, and its timer kept
    // running while a switch may be due.
    void followProfiles();
    // Runs a skinned dialog from the tray: no automatic switch while it is open.
    bool runTrayDialog(DialogContent& content);
    // The tray menu's "Start with Windows": the entry as the user wants it now.
    void toggleStartWithWindows();
    // Messages that a program of lower integrity may send to this window even when it runs
    // elevated: the shell's TaskbarCreated and the installer's exit request.
    void allowMessagesFromBelow();
    DialogLook dialogLook() const;
    // The tray may not be up yet (the shell starting with the program) or may have restarted.
    void addTrayIcon();

    // WM_DESTROY: handles and event closed, tray icon removed. Runs once.
    void cleanUp();
    // Tray menu "Exit" and the close button: the clean-up, then the program ends with code 0.
    void exitProgram();

    // SessionHost
    void forwardDeviceEvent(DeviceEventCode code, std::uint32_t value) override;
    void showBalloon(const Balloon& balloon) override;
    void hideWindow() override;
    bool watchDeviceChanges() override;
    void waitWhile(const std::function<bool()>& running) override;
    void phase(std::string_view name) override;

    ProgramBackend& backend_;
    StringTable strings_;
    MessageBoxSink messages_;
    Win32WindowEventSink events_;
    TrayIcon tray_;
    HICON icon_ = nullptr; // the resource's, shared: not freed
    // Icon 710 at the small-icon size, for the title bar and the tray, which would otherwise
    // shrink the large one (the icon file holds both sizes).
    ScopedIcon smallIcon_;
    HICON smallIcon() const { return smallIcon_ ? smallIcon_.get() : icon_; }
    InterfaceFontHandles fonts_;
    ScopedHandle mutex_;
    HDEVNOTIFY notifications_ = nullptr;

    std::unique_ptr<FileSystem> files_;
    IniEngine ini_;
    FilePaths paths_;
    Win32PointerSystem pointer_;
    MacroFile macros_;
    Session session_;
    Win32DialogRunner dialogRunner_;
    SkinnedKeyDialogs keyDialogs_;
    ColourDialog colours_;
    Win32RecorderHost recorder_;
    SkinSettings skins_;
    MainWindow window_;

    NonClientPaintGate nonClientPaint_;
    bool cleanedUp_ = false;
    UINT taskbarCreatedMessage_ = 0;
    UINT exitRequestMessage_ = 0;
    bool sessionStarted_ = false;
    Win32StartupRegistry startup_;
    ForegroundWatch foreground_;
    bool trayDialogOpen_ = false;
    // The profiles the tray menu listed when it was last built, by name.
    std::vector<std::u16string> trayProfiles_;
    TrayRetry trayRetry_;
};

} // namespace qor
