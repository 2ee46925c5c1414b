#include "emulated_session.h"

#include "device/precise_sleep.h"

#include <iostream>
#include <thread>

#include "app/config_file.h"
#include "app/text_utf8.h"
#include "device/event_listener.h"

namespace qor::cli {

namespace {

long long microsecondsSince(std::chrono::steady_clock::time_point from) {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                 from)
        .count();
}

} // namespace

void SleepPacer::pause(unsigned milliseconds) {
    preciseSleep(std::chrono::milliseconds(milliseconds));
}

namespace {

MouseState initialState(const SessionOptions& options) {
    MouseState state = factoryMouseState();
    if (options.common.sensorType) {
        state.sensorType = *options.common.sensorType;
    }
    return state;
}

} // namespace

EmulatedSession::EmulatedSession(const SessionOptions& options)
    : options_(options), mouse_(initialState(options)), system_(mouse_),
      strings_(languageFromId(options.common.language)) {
    port_ = &mouse_.commandPort();
    pacer_ = options.realPauses ? static_cast<Pacer*>(&sleepPacer_) : &nullPacer_;
    if (options.common.trace) {
        if (*options.common.trace == "-") {
            traceSink_ = traceToStream(std::cout);
        } else {
            traceFile_.open(*options.common.trace, std::ios::out | std::ios::trunc);
            traceOk_ = traceFile_.is_open();
            traceSink_ = traceToStream(traceFile_);
        }
        tracedPort_ = std::make_unique<TracingCommandPort>(*port_, traceSink_);
        tracedPacer_ = std::make_unique<TracingPacer>(*pacer_, traceSink_);
        port_ = tracedPort_.get();
        pacer_ = tracedPacer_.get();
    }
    mouse_.setTransferLatency(options.transferLatency);
    mouse_.setEchoPlainProbe(options.oldFirmware);
    if (options.unplugged) {
        mouse_.unplug();
    }
    // Linux has no pointer options of the kind the window sets.
    session_ = std::make_unique<Session>(
        SessionPorts{system_, *port_, mouse_.eventPort(), *pacer_, *this, messages_, files_, ini_,
                     nullptr,
                     [this](std::string_view phase) {
                         if (phase == "save config.bin") {
                             filesBegan_ = std::chrono::steady_clock::now();
                         }
                         trace("# " + std::string(phase));
                     }},
        strings_,
        SessionFiles{utf8ToUtf16(joinPath(options.common.dir, "config.bin")),
                     std::filesystem::path(joinPath(options.common.dir, "str.ini"))});
}

EmulatedSession::~EmulatedSession() = default;

void EmulatedSession::trace(std::string_view line) {
    if (traceSink_) {
        traceSink_(line);
    }
}

bool EmulatedSession::start() {
    const auto began = std::chrono::steady_clock::now();
    trace("# open");
    StartUpSteps steps;
    steps.afterFiles = [this] {
        if (session_->connected()) {
            // The first drawing of the Basic page.
            trace("# connect read-back");
            session_->firstBasicDrawing();
        }
    };
    session_->start(steps);
    timing_.start = microsecondsSince(began);
    return session_->connected();
}

bool EmulatedSession::confirm() {
    const auto began = std::chrono::steady_clock::now();
    filesBegan_ = began;
    const bool ran = session_->confirm();
    if (ran) {
        timing_.device =
            std::chrono::duration_cast<std::chrono::microseconds>(filesBegan_ - began).count();
        timing_.files = microsecondsSince(filesBegan_);
    }
    return ran;
}

void EmulatedSession::deliver(DeviceEventCode code, std::uint32_t value) {
    const auto balloon =
        deviceEventBalloon(static_cast<std::uint32_t>(code), value, strings_,
                           session_->settings().working, session_->image().activeSensorType);
    if (balloon && onBalloon) {
        onBalloon(*balloon);
    }
    {
        std::lock_guard lock(deliveredMutex_);
        ++delivered_;
    }
    deliveredChanged_.notify_all();
}

bool EmulatedSession::deliverReports(const std::vector<std::vector<std::uint8_t>>& reports) {
    // Events reach the window only while the mouse is connected; the listener never starts
    // otherwise.
    if (!session_->connected()) {
        return false;
    }
    unsigned before = 0;
    {
        std::lock_guard lock(deliveredMutex_);
        before = delivered_;
    }
    unsigned expected = 0;
    for (const auto& report : reports) {
        // The listener sees the report as the event collection delivers it: cut or padded to
        // its length.
        std::vector<std::uint8_t> seen(report);
        seen.resize(kEmulatedEventLength, 0);
        if (decodeEventReport(seen)) {
            ++expected;
        }
    }
    EventListener listener(session_->link(), mouse_.eventPort(), *this);
    std::thread thread([&listener] { listener.run(); });
    for (const auto& report : reports) {
        mouse_.emitEvent(report);
    }
    bool all = false;
    {
        std::unique_lock lock(deliveredMutex_);
        all = deliveredChanged_.wait_for(lock, std::chrono::seconds(10),
                                         [&] { return delivered_ - before >= expected; });
    }
    listener.requestStop();
    mouse_.eventPort().signal();
    thread.join();
    return all;
}

} // namespace qor::cli
