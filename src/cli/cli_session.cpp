#include "cli/cli_session.h"

#include "device/precise_sleep.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <thread>

#include "base/text_utf8.h"
#include "device/event_listener.h"
#include "device/mouse_ids.h"
#include "settings/config_file.h"

namespace qor::cli {

namespace {

long long microsecondsSince(std::chrono::steady_clock::time_point from) {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                 from)
        .count();
}

MouseState initialState(const SessionOptions& options) {
    MouseState state = factoryMouseState();
    if (options.common.sensorType) {
        state.sensorType = *options.common.sensorType;
    }
    return state;
}

} // namespace

void SleepPacer::pause(unsigned milliseconds) {
    preciseSleep(std::chrono::milliseconds(milliseconds));
}

CliBackend::CliBackend(const SessionOptions& options)
    : pacer_(options.realPauses ? static_cast<Pacer*>(&sleepPacer_) : &nullPacer_) {
    if (!options.common.trace) {
        return;
    }
    if (*options.common.trace == "-") {
        trace_ = traceToStream(std::cout);
        return;
    }
    traceFile_.open(*options.common.trace, std::ios::out | std::ios::trunc);
    traceOk_ = traceFile_.is_open();
    trace_ = traceToStream(traceFile_);
}

EmulatorBackend::EmulatorBackend(const SessionOptions& options)
    : CliBackend(options), mouse_(initialState(options)), system_(mouse_) {
    mouse_.setTransferLatency(options.transferLatency);
    mouse_.setEchoPlainProbe(options.oldFirmware);
    if (options.unplugged) {
        mouse_.unplug();
    }
}

#if defined(QOR_HIDRAW)
HidrawBackend::HidrawBackend(const SessionOptions& options)
    : CliBackend(options), system_(systemHidrawIo()) {
    system_.commandPort().onRemoval([this] { removed_ = true; });
    system_.eventPort().onRemoval([this] { removed_ = true; });
}

bool HidrawBackend::mouseListed() {
    const auto all = scanHidraw();
    return std::any_of(all.begin(), all.end(), [](const HidrawCollection& c) {
        return c.attributes.vendorId == kMouseVendorId &&
               c.attributes.productId == kMouseProductId &&
               classifyCollection(c.caps) == CollectionRole::command;
    });
}

std::string HidrawBackend::whyNotConnected() const {
    if (system_.lastOpenError() != 0) {
        return "cannot open " + system_.lastOpenPath() + ": " +
               std::strerror(-system_.lastOpenError()) +
               ". Install the udev rule resources/linux/70-qor.rules (README, section Linux), "
               "then unplug the mouse and plug it in again.";
    }
    if (!system_.commandPort().isOpen()) {
        return "no mouse found: no hidraw node of the USB device " + mouseUsbId() +
               " carries its command collection. Is it plugged in?";
    }
    return "the mouse did not answer the handshake.";
}
#endif

std::unique_ptr<CliBackend> makeBackend(const std::string& command, bool emulate,
                                        const SessionOptions& options) {
    if (emulate) {
        return std::make_unique<EmulatorBackend>(options);
    }
#if defined(QOR_HIDRAW)
    (void)command;
    return std::make_unique<HidrawBackend>(options);
#else
    std::fprintf(stderr, "qorctl %s: the real mouse is reached on Linux only; add --emulate\n",
                 command.c_str());
    return nullptr;
#endif
}

void explainNoMouse(const std::string& command, CliBackend& backend) {
#if defined(QOR_HIDRAW)
    if (auto* hidraw = dynamic_cast<HidrawBackend*>(&backend)) {
        std::fprintf(stderr, "qorctl %s: %s\n", command.c_str(), hidraw->whyNotConnected().c_str());
    }
#else
    (void)command;
    (void)backend;
#endif
}

CliSession::CliSession(const SessionOptions& options, CliBackend& backend)
    : options_(options), backend_(backend), traceSink_(backend.traceSink()),
      strings_(languageFromId(options.common.language)) {
    // Linux has no pointer options of the kind the window sets.
    session_ = std::make_unique<Session>(
        SessionParts{backend_, *this, messages_, files_, ini_, nullptr}, strings_,
        SessionFiles{utf8ToUtf16(joinPath(options.common.dir, "config.bin")),
                     std::filesystem::path(joinPath(options.common.dir, "str.ini"))});
}

CliSession::~CliSession() = default;

void CliSession::trace(std::string_view line) {
    if (traceSink_) {
        traceSink_(line);
    }
}

bool CliSession::start() {
    const auto began = std::chrono::steady_clock::now();
    trace("# open");
    if (session_->start() && session_->drawsBasicPageAtStart()) {
        // The first drawing of the Basic page.
        trace("# connect read-back");
        session_->firstBasicDrawing();
    }
    timing_.start = microsecondsSince(began);
    return session_->connected();
}

void CliSession::phase(std::string_view name) {
    if (name == "save config.bin") {
        filesBegan_ = std::chrono::steady_clock::now();
    }
    trace("# " + std::string(name));
}

bool CliSession::openOnly() {
    trace("# open");
    if (session_->discovery().openDevice()) {
        trace("# handshake");
        session_->link().handshake();
    } else {
        session_->link().connected = false;
    }
    return session_->connected();
}

bool CliSession::confirm() {
    const auto began = std::chrono::steady_clock::now();
    filesBegan_ = began;
    const bool complete = session_->confirm();
    if (session_->lastApply().ran) {
        timing_.device =
            std::chrono::duration_cast<std::chrono::microseconds>(filesBegan_ - began).count();
        timing_.files = microsecondsSince(filesBegan_);
    }
    return complete;
}

void CliSession::deviceChanged(bool arrival) {
    trace(arrival ? "# device arrival" : "# device removal");
    session_->deviceChanges().onDeviceChange(arrival ? kDeviceArrival : kDeviceRemoveComplete,
                                             kDeviceTypeInterface,
                                             // hidraw gives no interface name, and a change seen
                                             // on the mouse's own node is the mouse's
                                             mouseInterfaceId(IdSpelling::upper));
}

void CliSession::forwardDeviceEvent(DeviceEventCode code, std::uint32_t value) {
    {
        std::lock_guard lock(eventMutex_);
        session_->deviceEvent(code, value);
    }
    {
        std::lock_guard lock(deliveredMutex_);
        ++delivered_;
    }
    deliveredChanged_.notify_all();
}

void CliSession::showBalloon(const Balloon& balloon) {
    if (onBalloon) {
        onBalloon(balloon);
    }
}

void CliSession::waitWhile(const std::function<bool()>& running) {
    while (running()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

unsigned CliSession::eventsDelivered() {
    std::lock_guard lock(deliveredMutex_);
    return delivered_;
}

bool CliSession::waitForEvents(unsigned count, std::chrono::milliseconds timeout) {
    std::unique_lock lock(deliveredMutex_);
    return deliveredChanged_.wait_for(lock, timeout, [&] { return delivered_ >= count; });
}

void CliSession::listen(const std::function<void()>& body) {
    session_->startListener();
    body();
    session_->stopListener();
}

} // namespace qor::cli
