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
    link_ = std::make_unique<DeviceLink>(*port_, *pacer_, *this);
    discovery_ = std::make_unique<DeviceDiscovery>(system_, *link_, mouse_.eventPort(), messages_,
                                                   std::u16string(kApplicationTitle));
    commands_ = std::make_unique<DeviceCommands>(*link_, *pacer_, image_);
    configPath_ = utf8ToUtf16(joinPath(options.common.dir, "config.bin"));
    strIniPath_ = joinPath(options.common.dir, "str.ini");
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
    if (discovery_->openDevice()) {
        trace("# handshake");
        link_->handshake();
    } else {
        messages_.show(strings_.text(StringId::MouseNotDetected), kWarningCaption);
        link_->connected = false;
    }
    loadConfig(files_, messages_, configPath_, state_);
    state_.takeSnapshot();
    rows_ = readStrIni(ini_, strIniPath_, strings_.strIniSection()).rows;
    if (link_->connected) {
        // The first drawing of the Basic page.
        trace("# connect read-back");
        connectReadBack(*commands_);
        handleFirstRunKeyRows(state_.firstRunFlag, rows_, strings_, ini_, strIniPath_);
    }
    timing_.start = microsecondsSince(began);
    return link_->connected;
}

bool EmulatedSession::confirm() {
    const auto began = std::chrono::steady_clock::now();
    auto filesBegan = began;
    ApplyPersistence persistence;
    persistence.saveSettings = [&](const SettingsRecord& record) {
        filesBegan = std::chrono::steady_clock::now();
        timing_.device = microsecondsSince(began);
        trace("# save config.bin");
        saveConfig(files_, messages_, configPath_, record);
    };
    persistence.writeKeyRowTexts = [this] {
        trace("# write str.ini");
        writeKeyRowTexts(ini_, strIniPath_, strings_.strIniSection(), rows_);
    };
    if (link_->connected) {
        trace("# apply");
    }
    const bool ran = confirmSettings(*link_, *commands_, state_, persistence);
    if (ran) {
        timing_.files = microsecondsSince(filesBegan);
    }
    return ran;
}

void EmulatedSession::deliver(DeviceEventCode code, std::uint32_t value) {
    const auto balloon = deviceEventBalloon(static_cast<std::uint32_t>(code), value, strings_,
                                            state_.working, image_.activeSensorType);
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
    if (!link_->connected) {
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
    EventListener listener(*link_, mouse_.eventPort(), *this);
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
