// The main window: a borderless skinned dialog that lives in the tray. It owns the start-up
// sequence, the tray icon and its menu, the device link with its listener, and the ways the
// program ends.
#pragma once
#include "base/message_sink.h"
#include "base/win32/scoped.h"
#include "device/discovery.h"
#include "device/event_listener.h"
#include "device/win32/hid_win32.h"
#include "keys/key_dialogs.h"
#include "macro/macro_file.h"
#include "macro/macro_recorder.h"
#include "pointer/win32/pointer_system_win32.h"
#include "program/win32/device_backend.h"
#include "program/win32/tray_icon.h"
#include "session/session.h"
#include "settings/file_system.h"
#include "settings/ini_engine.h"
#include "settings/paths.h"
#include "settings/settings_state.h"
#include "ui/str_ini.h"
#include "ui/strings.h"
#include "ui/win32/control_reconciler.h"
#include "ui/win32/dialog.h"
#include "ui/win32/message_box_sink.h"
#include "ui/win32/scene_painter.h"
#include "ui/win32/skinned_dialog_window.h"
#include "window/lifecycle.h"
#include "window/main_window.h"

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

namespace qor {

inline constexpr std::u16string_view kTrayTip = u"Gaming mouse setting";

// The main window's handle, for the threads and hooks that send it messages.
HWND mainWindow();

class CCorvidDlg final : public CDialog, private DeviceChangeHost, private RecorderHost {
public:
    CCorvidDlg(HINSTANCE instance, DeviceBackend& backend);
    ~CCorvidDlg() override;

    bool connected() const { return session_.connected(); }

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
    void carryOut(WindowAction action, int x, int y);
    void onListNotification(int id, int code);
    void onMouseMove(LPARAM point);
    void onMouseHover(LPARAM point);
    void repaintAreas(const std::vector<Rect>& areas);
    LRESULT onControlColour(UINT message, HDC dc, HWND control);
    // Messages before they are dispatched: Enter and Escape, the pointer over open lists.
    bool preTranslate(MSG& msg);
    static LRESULT CALLBACK getMessageHook(int code, WPARAM wParam, LPARAM lParam);
    // The macro recorder's keyboard hook on this thread.
    static LRESULT CALLBACK recordHook(int code, WPARAM wParam, LPARAM lParam);
    // The context menu of a control, if it has one, at a screen point.
    void showContextMenu(int controlId, POINT screen);
    void onEditChange(int id);
    std::optional<Rgb> pickColour();
    // The skin dialog; on OK the window takes the skin and colour, saves them and shows itself.
    void openSkins();
    DialogLook dialogLook() const;
    // The tray may not be up yet (the shell starting with the program) or may have restarted.
    void addTrayIcon();
    void onTimer(UINT_PTR id);

    // Drawing: the Basic page's first drawing also runs the connect read-back.
    void drawBasicPage();
    void redrawCurrentPage();
    // The page as the model has it now: child controls reconciled, then one transfer.
    void refresh();
    PaintContext paintContext() const;

    // WM_DESTROY: handles and event closed, tray icon removed. Runs once.
    void cleanUp();
    // Tray menu "Exit" and the close button: the clean-up, then the program ends with code 0.
    void exitProgram();
    void stopListener();

    // DeviceChangeHost
    void hideWindow() override;
    void connectReadBack() override;

    // RecorderHost
    std::optional<std::uint32_t> installKeyboardHook() override;
    void removeKeyboardHook() override;
    void setWindowTitle(std::u16string_view title) override;
    void restoreWindowTitle() override;
    void sendRecorderMessage(std::uintptr_t wParam, std::intptr_t lParam) override;
    void postRecorderMessage(std::uintptr_t wParam, std::intptr_t lParam) override;

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

    std::unique_ptr<FileSystem> files_;
    IniEngine ini_;
    FilePaths paths_;
    Win32PointerSystem pointer_;
    MacroFile macros_;
    Session session_;
    EventListener listener_;
    Win32ListenerThread listenerThread_;
    ListenerGate listenerGate_;
    DeviceChangeHandler deviceChange_;
    Win32DialogRunner dialogRunner_;
    SkinnedKeyDialogs keyDialogs_;
    MainWindow window_;
    ControlReconciler controls_;
    ScopedBrush controlBrush_;
    HHOOK messageHook_ = nullptr;
    HHOOK recordHook_ = nullptr;
    std::optional<std::wstring> titleBeforeRecording_;

    std::u16string skinName_;
    std::u16string skinRoot_;
    TextColour textColour_ = kInitialTextColour;
    HBITMAP background_ = nullptr;
    SIZE backgroundSize_{};

    NonClientPaintGate nonClientPaint_;
    bool cleanedUp_ = false;
    UINT taskbarCreatedMessage_ = 0;
    int trayAttempts_ = 0;
};

} // namespace qor
