// The program's core on the command line, wired the way the main window wires it: start-up
// (open, handshake, config.bin, str.ini, first drawing of the Basic page), OK, the device event
// handler and the device-change handler. The mouse is the emulator or, on Linux, the real one
// through hidraw.
#pragma once
#include <atomic>
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

#include "cli/cli_options.h"
#include "device/device_link.h"
#include "device/discovery.h"
#include "device/trace.h"
#include "emulator/emulated_hid_system.h"
#include "emulator/mouse_emulator.h"
#include "protocol/commands.h"
#include "protocol/event_balloons.h"
#include "protocol/sequences.h"
#include "session/session.h"
#include "settings/file_system_std.h"
#include "settings/ini_engine.h"
#include "settings/settings_state.h"
#include "ui/str_ini.h"
#include "ui/strings.h"

#if defined(QOR_HIDRAW)
#include "device/linux/hidraw_ports.h"
#endif

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

// Where the session's ports lead: the pauses real or skipped, and the trace where asked.
class CliBackend : public DeviceBackend {
public:
    explicit CliBackend(const SessionOptions& options);
    Pacer& pacer() override { return *pacer_; }
    TraceLineSink traceSink() override { return trace_; }
    // False when the trace file cannot be opened.
    bool traceOpen() const { return traceOk_; }
    // True once when a port has seen the mouse go away since the last call.
    virtual bool takeRemoval() { return false; }
    // Whether the system lists the mouse's command collection now (opening it may still fail).
    virtual bool mouseListed() { return true; }

private:
    SleepPacer sleepPacer_;
    NullPacer nullPacer_;
    Pacer* pacer_;
    std::ofstream traceFile_;
    bool traceOk_ = true;
    TraceLineSink trace_;
};

class EmulatorBackend final : public CliBackend {
public:
    explicit EmulatorBackend(const SessionOptions& options);
    DeviceEnumerator& enumerator() override { return system_; }
    HidCommandPort& commandPort() override { return mouse_.commandPort(); }
    HidEventPort& eventPort() override { return mouse_.eventPort(); }
    MouseEmulator& mouse() { return mouse_; }

private:
    MouseEmulator mouse_;
    EmulatedHidSystem system_;
};

#if defined(QOR_HIDRAW)
class HidrawBackend final : public CliBackend {
public:
    explicit HidrawBackend(const SessionOptions& options);
    DeviceEnumerator& enumerator() override { return system_; }
    HidCommandPort& commandPort() override { return system_.commandPort(); }
    HidEventPort& eventPort() override { return system_.eventPort(); }
    bool takeRemoval() override { return removed_.exchange(false); }
    bool mouseListed() override;

    // Why no mouse could be used, for standard error: the node that could not be opened (and
    // the udev rule that grants access), no mouse at all, or a mouse that failed the handshake.
    std::string whyNotConnected() const;

private:
    HidrawSystem system_;
    std::atomic<bool> removed_{false};
};
#endif

// The emulator's backend, or the real mouse's; nothing (and a message) where the real mouse
// cannot be reached on this system.
std::unique_ptr<CliBackend> makeBackend(const std::string& command, bool emulate,
                                        const SessionOptions& options);
// Why the real mouse could not be used, on standard error after the program's own warning.
void explainNoMouse(const std::string& command, CliBackend& backend);

class CliSession final : private SessionHost {
public:
    CliSession(const SessionOptions& options, CliBackend& backend);
    ~CliSession() override;

    bool traceOpen() const { return backend_.traceOpen(); }

    // Start-up; returns whether the mouse is connected.
    bool start();
    // Opens the mouse and runs the handshake, nothing else; returns whether it is connected.
    bool openOnly();
    // OK: the apply sequence and the snapshot, only while connected. True when every setting
    // reached the mouse; otherwise the message went to standard error.
    bool confirm();
    // Runs the listener thread while `body` runs on the calling thread.
    void listen(const std::function<void()>& body);
    // Waits until `count` events have reached the window since the session began.
    bool waitForEvents(unsigned count, std::chrono::milliseconds timeout);
    unsigned eventsDelivered();
    // The mouse was plugged in or pulled out: what WM_DEVICECHANGE does for the mouse.
    void deviceChanged(bool arrival);

    // Balloons the window would show, in order (the handshake's included). May be called from
    // the listener thread; calls never overlap.
    std::function<void(const Balloon&)> onBalloon;

    // Wall time of the phases of the last start() and confirm(), in microseconds.
    struct Timing {
        long long start = 0;  // open, handshake, files read, connect read-back
        long long device = 0; // the apply sequence up to the last key matrix
        long long files = 0;  // config.bin and str.ini written
    };
    const Timing& timing() const { return timing_; }

    const SettingsState& settings() const { return session_->settings(); }
    Session& session() { return *session_; }

private:
    // SessionHost: events are handled on whichever thread brings them, one at a time.
    void forwardDeviceEvent(DeviceEventCode code, std::uint32_t value) override;
    void showBalloon(const Balloon& balloon) override;
    void waitWhile(const std::function<bool()>& running) override;
    bool listensFromStart() const override { return false; }
    void phase(std::string_view name) override;
    void trace(std::string_view line);

    SessionOptions options_;
    CliBackend& backend_;
    TraceLineSink traceSink_;

    StringTable strings_;
    StderrMessageSink messages_;
    StdFileSystem files_;
    IniEngine ini_;
    std::unique_ptr<Session> session_;

    Timing timing_;
    std::chrono::steady_clock::time_point filesBegan_;

    std::mutex eventMutex_;
    std::mutex deliveredMutex_;
    std::condition_variable deliveredChanged_;
    unsigned delivered_ = 0;
};

} // namespace qor::cli
