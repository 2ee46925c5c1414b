// The main window: a borderless skinned dialog that lives in the tray. It owns the start-up
// sequence, the tray icon and its menu, the device link with its listener, and the ways the
// program ends.
#pragma once
#include "app/file_system.h"
#include "app/lifecycle.h"
#include "app/message_sink.h"
#include "app/paths.h"
#include "app/settings_state.h"
#include "app/win32/device_backend.h"
#include "app/win32/dialog.h"
#include "app/win32/message_box_sink.h"
#include "app/win32/tray_icon.h"
#include "device/device_link.h"
#include "device/discovery.h"
#include "device/event_listener.h"
#include "device/win32/hid_win32.h"
#include "protocol/commands.h"
#include "protocol/device_image.h"
#include "ui/page_state.h"
#include "ui/str_ini.h"
#include "ui/strings.h"

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

namespace qor {

class IniEngine;

// Dialog template, icon and menu of the resource script.
inline constexpr int kMainDialogTemplate = 700;
inline constexpr int kMainIcon = 710;
inline constexpr int kMacroListMenu = 180;

inline constexpr std::u16string_view kTrayTip = u"Gaming mouse setting";

// The main window's handle, for the threads and hooks that send it messages.
HWND mainWindow();

class CCorvidDlg final : public CDialog, private DeviceChangeHost {
public:
    CCorvidDlg(HINSTANCE instance, DeviceBackend& backend);
    ~CCorvidDlg() override;

    bool connected() const { return link_.connected.load(); }

private:
    BOOL onInitDialog() override;
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

    // Start-up after the mutex: false when a step ends initialisation early.
    bool startUp();
    void createFonts();
    void loadBackground();

    LRESULT onTrayNotification(LPARAM mouseMessage);
    void showTrayMenu();
    void onDeviceEvent(WPARAM code, LPARAM value);
    void onLeftButtonDown(LPARAM point);
    // The tray may not be up yet (the shell starting with the program) or may have restarted.
    void addTrayIcon();
    void onTimer(UINT_PTR id);

    // Drawing: the Basic page's first drawing also runs the connect read-back.
    void drawBasicPage();
    void redrawCurrentPage();
    void drawPage(const PageDrawing& drawing);
    void drawCurrentPage();
    void paintPage(HDC dc);

    // WM_DESTROY: handles and event closed, tray icon removed. Runs once.
    void cleanUp();
    // Tray menu "Exit" and the close button: the clean-up, then the program ends with code 0.
    void exitProgram();
    void stopListener();

    // DeviceChangeHost
    void hideWindow() override;
    void connectReadBack() override;

    DeviceBackend& backend_;
    StringTable strings_;
    MessageBoxSink messages_;
    Win32WindowEventSink events_;
    TrayIcon tray_;
    HICON icon_ = nullptr;
    HFONT normalFont_ = nullptr;
    HFONT titleFont_ = nullptr;
    HANDLE mutex_ = nullptr;
    HDEVNOTIFY notifications_ = nullptr;

    DeviceLink link_;
    DeviceDiscovery discovery_;
    EventListener listener_;
    Win32ListenerThread listenerThread_;
    ListenerGate listenerGate_;
    DeviceChangeHandler deviceChange_;
    DeviceImage image_;
    DeviceCommands commands_;

    std::unique_ptr<FileSystem> files_;
    std::unique_ptr<IniEngine> ini_;
    FilePaths paths_;
    SettingsState settings_;
    StrIniValues strIni_;
    std::u16string skinName_;
    std::u16string skinRoot_;
    TextColour textColour_ = kInitialTextColour;
    HBITMAP background_ = nullptr;
    SIZE backgroundSize_{};

    NonClientPaintGate nonClientPaint_;
    PageState pages_;
    bool cleanedUp_ = false;
    UINT taskbarCreatedMessage_ = 0;
    int trayAttempts_ = 0;
};

} // namespace qor
