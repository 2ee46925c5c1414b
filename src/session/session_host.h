// What the session asks of the front end that holds it: the tray program's window, or qorctl.
#pragma once
#include "device/event_report.h"
#include "protocol/event_balloons.h"

#include <cstdint>
#include <functional>
#include <string_view>

namespace qor {

class SessionHost {
public:
    virtual ~SessionHost() = default;
    // A device event from any thread (the listener's, or the session's own during start-up and
    // device changes). The host brings it to the session's thread, calls
    // Session::deviceEvent there and returns once that has run.
    virtual void forwardDeviceEvent(DeviceEventCode code, std::uint32_t value) = 0;
    // The notification the tray shows.
    virtual void showBalloon(const Balloon& balloon) = 0;
    // The mouse went away: the window hides.
    virtual void hideWindow() {}
    // Start-up: asks the system to report the mouse's arrival and removal. False when it
    // refuses.
    virtual bool watchDeviceChanges() { return true; }
    // Whether the listener starts with the mouse's first connection (the tray program); a host
    // that listens only now and then starts it itself.
    virtual bool listensFromStart() const { return true; }
    // The listener was asked to stop: returns once `running` answers false. A window keeps
    // answering the messages the listener may be sending it meanwhile.
    virtual void waitWhile(const std::function<bool()>& running) = 0;
    // Told as each phase begins ("handshake", "apply", "save config.bin", ...), for traces and
    // timings.
    virtual void phase(std::string_view) {}
};

} // namespace qor
