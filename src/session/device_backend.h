// What a front end supplies of the device side: the ports to the mouse, the pacer and where the
// wire's trace goes. The Windows program supplies the real HID services or the demo's emulator,
// qorctl the emulator or hidraw; the session does the rest.
#pragma once
#include "device/hid_ports.h"
#include "device/pacer.h"
#include "device/trace.h"

namespace qor {

class DeviceBackend {
public:
    virtual ~DeviceBackend() = default;
    virtual DeviceEnumerator& enumerator() = 0;
    virtual HidCommandPort& commandPort() = 0;
    virtual HidEventPort& eventPort() = 0;
    virtual Pacer& pacer() = 0;
    // Where every transfer and pause is written, one line each; empty when nothing is traced.
    virtual TraceLineSink traceSink() { return {}; }
    // Makes what the listener waits on. False when the system refuses.
    virtual bool prepareEvents() { return true; }
    // The program ends: every device handle closed.
    virtual void close() {}
};

} // namespace qor
