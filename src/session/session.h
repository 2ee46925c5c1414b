// One run of the program against one mouse: the link, discovery, the device image, the commands,
// the settings and the key-row texts, wired once, with the start-up order and the OK, Apply and
// Cancel flows. The window and qorctl each hold one.
#pragma once
#include "base/message_sink.h"
#include "device/device_link.h"
#include "device/discovery.h"
#include "device/hid_ports.h"
#include "device/pacer.h"
#include "pointer/pointer_options.h"
#include "protocol/commands.h"
#include "protocol/device_image.h"
#include "settings/config_file.h"
#include "settings/file_system.h"
#include "settings/ini_engine.h"
#include "settings/settings_state.h"
#include "ui/str_ini.h"
#include "ui/strings.h"
#include "window/settings_flow.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace qor {

struct SessionPorts {
    DeviceEnumerator& enumerator;
    HidCommandPort& command;
    HidEventPort& event;
    Pacer& pacer;
    DeviceEventSink& events; // the handshake's outcome and the mouse's events
    MessageSink& messages;
    FileSystem& files;
    const IniEngine& ini;
    PointerSystem* pointer = nullptr; // none where the system has no pointer options to set
    // Told as each phase begins ("handshake", "save config.bin", "write str.ini"), for traces
    // and timings.
    std::function<void(std::string_view phase)> phase;
};

struct SessionFiles {
    std::u16string config;
    std::filesystem::path strIni;
};

// Hooks of the start-up that belong to the platform, in the order they run.
struct StartUpSteps {
    // After the mouse was opened (or found missing): the listener, the device notifications.
    // False ends the start-up there.
    std::function<bool()> afterOpen;
    // The files are read: the window takes its skin and text colour.
    std::function<void()> afterFiles;
};

class Session final : public SettingsFlow {
public:
    Session(const SessionPorts& ports, const StringTable& strings, SessionFiles files);

    // Opens the mouse and runs the handshake (reporting a missing mouse), runs `afterOpen`,
    // loads config.bin and takes the snapshot, reads str.ini, runs `afterFiles`. Returns false
    // when a step ended it early.
    bool start(const StartUpSteps& steps = {});

    // The Basic page's first drawing: the connect read-back (a no-op on the wire while the
    // mouse is away) and, on a first run, the key-row texts written to str.ini at once.
    void firstBasicDrawing() override;
    // The sensor read-back alone, when the mouse comes back.
    void readBack();
    // The key-row texts of str.ini again (a redraw of the Basic page after Cancel).
    void rereadKeyRows() override;

    // OK and Apply: nothing while the mouse is away; otherwise the apply sequence, config.bin
    // and the key-row texts saved, the snapshot, then the Windows pointer options. Returns
    // whether it ran.
    bool confirm() override;
    // Cancel: the record as last applied, drawn again at the next show.
    void cancel() override { state_.restoreSnapshot(); }

    bool connected() const override { return link_.connected.load(); }
    DeviceLink& link() { return link_; }
    DeviceDiscovery& discovery() { return discovery_; }
    DeviceCommands& commands() { return commands_; }
    const DeviceImage& image() const { return image_; }
    SettingsState& settings() { return state_; }
    const SettingsState& settings() const { return state_; }
    KeyRowTexts& keyRows() { return strIni_.rows; }
    const StrIniValues& strIni() const { return strIni_; }
    const StringTable& strings() const { return strings_; }

private:
    void phase(std::string_view name) const {
        if (ports_.phase) {
            ports_.phase(name);
        }
    }

    SessionPorts ports_;
    const StringTable& strings_;
    SessionFiles files_;
    DeviceLink link_;
    DeviceDiscovery discovery_;
    DeviceImage image_;
    DeviceCommands commands_;
    SettingsState state_;
    StrIniValues strIni_;
};

} // namespace qor
