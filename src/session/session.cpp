#include "session/session.h"

#include "protocol/event_balloons.h"
#include "protocol/sequences.h"

#include <system_error>

namespace qor {

namespace {

std::unique_ptr<TracingCommandPort> tracedCommand(DeviceBackend& backend) {
    const TraceLineSink sink = backend.traceSink();
    return sink ? std::make_unique<TracingCommandPort>(backend.commandPort(), sink) : nullptr;
}

std::unique_ptr<TracingPacer> tracedPacer(DeviceBackend& backend) {
    const TraceLineSink sink = backend.traceSink();
    return sink ? std::make_unique<TracingPacer>(backend.pacer(), sink) : nullptr;
}

} // namespace

Session::Session(const SessionParts& parts, const StringTable& strings, SessionFiles files)
    : backend_(parts.backend), host_(parts.host), messages_(parts.messages), files_(parts.files),
      ini_(parts.ini), pointer_(parts.pointer), strings_(strings), paths_(std::move(files)),
      tracedCommand_(tracedCommand(backend_)), tracedPacer_(tracedPacer(backend_)),
      command_(tracedCommand_ ? *tracedCommand_ : backend_.commandPort()),
      pacer_(tracedPacer_ ? static_cast<Pacer&>(*tracedPacer_) : backend_.pacer()),
      link_(command_, pacer_, *this), discovery_(backend_.enumerator(), link_, backend_.eventPort(),
                                                 messages_, std::u16string(kApplicationTitle)),
      commands_(link_, pacer_, mirror_), listener_(link_, backend_.eventPort(), *this),
      gate_([this] { launchListener(); }), deviceChange_(discovery_, link_, *this, *this, gate_) {
    link_.connected = false;
}

Session::~Session() {
    stopListener();
}

bool Session::start() {
    if (discovery_.openDevice()) {
        host_.phase("handshake");
        link_.handshake();
    } else {
        messages_.show(strings_.text(StringId::MouseNotDetected), kWarningCaption);
        link_.connected = false;
    }
    if (!backend_.prepareEvents()) {
        messages_.show(strings_.text(ProgramText::ReadEventFailed), kApplicationTitle);
        return false;
    }
    if (connected() && host_.listensFromStart()) {
        startListener();
    }
    if (!host_.watchDeviceChanges()) {
        messages_.show(strings_.text(ProgramText::DeviceNotificationsFailed), kApplicationTitle);
        return false;
    }
    loadConfig(files_, messages_, paths_.config, state_);
    state_.takeSnapshot();
    strIni_ = readStrIni(ini_, paths_.strIni, strings_.strIniSection());
    profiles_.start();
    return true;
}

void Session::firstBasicDrawing() {
    readBack();
    handleFirstRunKeyRows(state_.firstRunFlag, strIni_.rows, strings_, ini_, paths_.strIni);
}

void Session::readBack() {
    qor::connectReadBack(commands_);
}

void Session::rereadKeyRows() {
    strIni_.rows = readStrIni(ini_, paths_.strIni, strings_.strIniSection()).rows;
}

bool Session::confirm() {
    ApplyPersistence persistence;
    persistence.saveSettings = [this](const SettingsRecord& record) {
        host_.phase("save config.bin");
        saveConfig(files_, messages_, paths_.config, record);
    };
    persistence.writeKeyRowTexts = [this] {
        host_.phase("write str.ini");
        writeKeyRowTexts(ini_, paths_.strIni, strings_.strIniSection(), strIni_.rows);
    };
    if (connected()) {
        host_.phase("apply");
    }
    lastApply_ = confirmSettings(link_, commands_, state_, persistence);
    if (!lastApply_.ran) {
        messages_.show(applyProblemText(lastApply_, strings_), kApplicationTitle);
        return false;
    }
    pendingApply_ = !lastApply_.complete();
    profiles_.afterConfirm();
    if (pointer_ != nullptr) {
        host_.phase("pointer options");
        applyPointerOptions(*pointer_, messages_, state_.working);
    }
    if (pendingApply_) {
        messages_.show(applyProblemText(lastApply_, strings_), kApplicationTitle);
    }
    return lastApply_.complete();
}

void Session::connectReadBack() {
    readBack();
    if (!pendingApply_ || !connected()) {
        return;
    }
    // What the last OK or Apply did not bring into the mouse, once more; the files hold it
    // already.
    host_.phase("apply again");
    lastApply_ = applySettings(commands_, state_.appliedRecord, ApplyPersistence{});
    pendingApply_ = !lastApply_.complete();
    if (pendingApply_) {
        messages_.show(applyProblemText(lastApply_, strings_), kApplicationTitle);
    } else {
        host_.showBalloon(Balloon{std::u16string(strings_.text(ProgramText::SettingsWrittenAgain)),
                                  kInfoTitle, kEventBalloonMs});
    }
}

bool Session::resume() {
    const bool wasConnected = connected();
    if (!discovery_.openDevice()) {
        link_.connected = false;
        if (wasConnected) {
            deviceChange_.lost();
        }
        return false;
    }
    host_.phase("handshake");
    link_.handshake();
    if (!connected()) {
        // The handshake has said so already; the handles of a mouse that does not answer are
        // closed as those of one that left.
        host_.hideWindow();
        discovery_.closeDevice();
        return false;
    }
    discovery_.wakeListener();
    connectReadBack();
    startListener();
    return true;
}

void Session::deliver(DeviceEventCode code, std::uint32_t value) {
    host_.forwardDeviceEvent(code, value);
}

void Session::deviceEvent(DeviceEventCode code, std::uint32_t value) {
    const auto balloon = deviceEventBalloon(static_cast<std::uint32_t>(code), value, strings_,
                                            state_.working, mirror_.activeSensorType);
    if (balloon) {
        host_.showBalloon(*balloon);
    }
}

void Session::launchListener() {
    listenerRunning_ = true;
    try {
        listenerThread_ = std::thread([this] {
            listener_.run();
            listenerRunning_ = false;
        });
    } catch (const std::system_error&) {
        // No thread to be had: the program runs on without the mouse's own switches.
        listenerRunning_ = false;
    }
}

void Session::stopListener() {
    if (!listenerThread_.joinable()) {
        return;
    }
    listener_.requestStop();
    backend_.eventPort().signal();
    // The listener may be inside its hand-over to the host's thread, which is this one.
    host_.waitWhile([this] { return listenerRunning_.load(); });
    listenerThread_.join();
}

} // namespace qor
