// The program's core on Linux, wired to the mouse emulator the way the main window wires it to
// the real mouse: start-up (open, handshake, config.bin, str.ini, first drawing of the Basic
// page), OK, and the device event handler.
#pragma once
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/file_system_std.h"
#include "app/ini_engine.h"
#include "app/settings_state.h"
#include "cli_options.h"
#include "device/device_link.h"
#include "device/discovery.h"
#include "device/trace.h"
#include "emulator/emulated_hid_system.h"
#include "emulator/mouse_emulator.h"
#include "protocol/commands.h"
#include "protocol/device_events.h"
#include "protocol/sequences.h"
#include "protocol/session.h"
#include "ui/str_ini.h"
#include "ui/strings.h"

namespace qor::cli {

// Real pauses, never shorter than asked.
class SleepPacer final : public Pacer {
public:
    void pause(unsigned milliseconds) override;
};

struct SessionOptions {
    CommonOptions common;
    bool realPauses = true;
    std::chrono::microseconds transferLatency{0};
    bool unplugged = false;   // no mouse at all: opening fails
    bool oldFirmware = false; // answers the plain probe: the handshake fails
};

class EmulatedSession final : public DeviceEventSink {
public:
    explicit EmulatedSession(const SessionOptions& options);
    ~EmulatedSession() override;

    // False when the trace file cannot be opened.
    bool traceOpen() const { return traceOk_; }

    // Start-up; returns whether the mouse is connected.
    bool start();
    // OK: the apply sequence and the snapshot, only while connected. Returns whether it ran.
    bool confirm();
    // Each report goes out on the emulator's event collection and through the listener thread;
    // returns when every report that carries an event has been handled.
    bool deliverReports(const std::vector<std::vector<std::uint8_t>>& reports);

    // Balloons the window would show, in order (the handshake's included).
    std::function<void(const Balloon&)> onBalloon;

    void deliver(DeviceEventCode code, std::uint32_t value) override;

    // Wall time of the phases of the last start() and confirm(), in microseconds.
    struct Timing {
        long long start = 0;  // open, handshake, files read, connect read-back
        long long device = 0; // the apply sequence up to the last key matrix
        long long files = 0;  // config.bin and str.ini written
    };
    const Timing& timing() const { return timing_; }

    MouseEmulator& mouse() { return mouse_; }
    const SettingsState& settings() const { return session_->settings(); }

private:
    void trace(std::string_view line);

    SessionOptions options_;
    MouseEmulator mouse_;
    EmulatedHidSystem system_;
    std::ofstream traceFile_;
    bool traceOk_ = true;
    TraceLineSink traceSink_;
    std::unique_ptr<TracingCommandPort> tracedPort_;
    SleepPacer sleepPacer_;
    NullPacer nullPacer_;
    std::unique_ptr<TracingPacer> tracedPacer_;
    HidCommandPort* port_ = nullptr;
    Pacer* pacer_ = nullptr;

    StringTable strings_;
    StderrMessageSink messages_;
    StdFileSystem files_;
    IniEngine ini_;
    std::unique_ptr<Session> session_;

    Timing timing_;
    std::chrono::steady_clock::time_point filesBegan_;

    std::mutex deliveredMutex_;
    std::condition_variable deliveredChanged_;
    unsigned delivered_ = 0;
};

} // namespace qor::cli
