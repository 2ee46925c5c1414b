// One run of the program against one mouse: the backend's ports (traced where the backend asks),
// the link, discovery, the device mirror, the commands, the settings and the key-row texts, the
// event listener and its thread, and the handling of the mouse's arrival and removal, wired once
// with the start-up order and the OK, Apply and Cancel flows. The window and qorctl each hold
// one and supply only a backend and a host.
#pragma once
#include "base/message_sink.h"
#include "device/device_link.h"
#include "device/discovery.h"
#include "device/event_listener.h"
#include "device/trace.h"
#include "pointer/pointer_options.h"
#include "protocol/commands.h"
#include "protocol/device_mirror.h"
#include "protocol/sequences.h"
#include "session/device_backend.h"
#include "session/profile_session.h"
#include "session/session_host.h"
#include "settings/config_file.h"
#include "settings/file_system.h"
#include "settings/ini_engine.h"
#include "settings/settings_state.h"
#include "ui/str_ini.h"
#include "ui/strings.h"
#include "window/settings_flow.h"

#include <atomic>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>

namespace qor {

struct SessionParts {
    DeviceBackend& backend;
    SessionHost& host;
    MessageSink& messages;
    FileSystem& files;
    const IniEngine& ini;
    PointerSystem* pointer = nullptr; // none where the system has no pointer options to set
};

struct SessionFiles {
    std::u16string config;
    std::filesystem::path strIni;
    // Beside config.bin when not given.
    std::filesystem::path recordIni{};
    std::u16string profilesFolder{};
};

class Session final : public SettingsFlow, private DeviceEventSink, private DeviceChangeHost {
public:
    Session(const SessionParts& parts, const StringTable& strings, SessionFiles files);
    // Stops the listener first: nothing of the session is gone while its thread runs.
    ~Session() override;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Opens the mouse and runs the handshake (reporting a missing mouse), makes the listener's
    // event and starts the listener while the mouse is there, asks for device-change reports,
    // loads config.bin and takes the snapshot, reads str.ini. Returns false when the system
    // refused a step (said in a message box); the program then runs without a mouse side.
    bool start();

    // The Basic page's first drawing: the connect read-back (a no-op on the wire while the
    // mouse is away) and, on a first run, the key-row texts written to str.ini at once.
    void firstBasicDrawing() override;
    // The sensor read-back alone, when the mouse comes back.
    void readBack();
    // The key-row texts of str.ini again (a redraw of the Basic page after Cancel).
    void rereadKeyRows() override;

    // OK and Apply: nothing while the mouse is away; otherwise the apply sequence, config.bin
    // and the key-row texts saved, the snapshot, then the Windows pointer options. True when
    // every setting reached the mouse; otherwise a message box says what did not (or that the
    // mouse is away), and what did not is written again at the mouse's next arrival.
    bool confirm() override;
    // Whether an incomplete apply waits for the mouse's next arrival.
    bool applyPending() const { return pendingApply_; }
    // What the last OK or Apply brought into the mouse.
    const ApplyOutcome& lastApply() const { return lastApply_; }
    // Cancel: the record as last applied, drawn again at the next show.
    void cancel() override { state_.restoreSnapshot(); }

    // A device event, on the session's thread (the host forwards it here): the tray's balloon.
    void deviceEvent(DeviceEventCode code, std::uint32_t value);
    // The system woke from sleep or hibernation. The mouse may have lost power, and with it the
    // handshake's scrambling, or may have been unplugged meanwhile: it is opened and greeted
    // again, and when it answers the connect read-back (and a pending apply) runs as at an
    // arrival. A mouse that was there and does not answer is handled as removed. True when the
    // mouse answered.
    bool resume();
    // What the system reports of device interfaces arriving and leaving goes here.
    DeviceChangeHandler& deviceChanges() { return deviceChange_; }

    // The listener thread: started once, at the first connection; stopped at the end.
    void startListener() { gate_.startOnce(); }
    void stopListener();
    bool listenerRunning() const { return listenerRunning_.load(); }

    bool connected() const override { return link_.connected.load(); }
    DeviceLink& link() { return link_; }
    DeviceDiscovery& discovery() { return discovery_; }
    DeviceCommands& commands() { return commands_; }
    const DeviceMirror& mirror() const { return mirror_; }
    SettingsState& settings() { return state_; }
    const SettingsState& settings() const { return state_; }
    KeyRowTexts& keyRows() { return strIni_.rows; }
    const StrIniValues& strIni() const { return strIni_; }
    const StringTable& strings() const { return strings_; }

    // The Profiles folder and the active profile.
    ProfileSession& profiles() { return profiles_; }
    const ProfileSession& profiles() const { return profiles_; }

private:
    friend class ProfileSession;

    // DeviceEventSink: from the link and the listener, on any thread.
    void deliver(DeviceEventCode code, std::uint32_t value) override;
    // DeviceChangeHost
    void hideWindow() override { host_.hideWindow(); }
    // The mouse arrived and answered: the sensor read-back, then a pending apply.
    void connectReadBack() override;

    void launchListener();

    DeviceBackend& backend_;
    SessionHost& host_;
    MessageSink& messages_;
    FileSystem& files_;
    const IniEngine& ini_;
    PointerSystem* pointer_;
    const StringTable& strings_;
    SessionFiles paths_;
    // The ports as the session uses them: through the trace when the backend keeps one.
    std::unique_ptr<TracingCommandPort> tracedCommand_;
    std::unique_ptr<TracingPacer> tracedPacer_;
    HidCommandPort& command_;
    Pacer& pacer_;

    DeviceLink link_;
    DeviceDiscovery discovery_;
    DeviceMirror mirror_;
    DeviceCommands commands_;
    SettingsState state_;
    StrIniValues strIni_;
    ApplyOutcome lastApply_;
    bool pendingApply_ = false;

    EventListener listener_;
    ListenerGate gate_;
    DeviceChangeHandler deviceChange_;
    std::thread listenerThread_;
    std::atomic<bool> listenerRunning_{false};

    ProfileSession profiles_{*this};
};

} // namespace qor
