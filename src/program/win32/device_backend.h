// What the main window needs of the device side, chosen per executable: the real HID services
// (backend_hid.cpp) or the built-in mouse emulator of the demo (backend_demo.cpp).
#pragma once
#include "device/hid_ports.h"
#include "device/pacer.h"

#include <windows.h>

#include <memory>

namespace qor {

class DeviceBackend {
public:
    virtual ~DeviceBackend() = default;
    virtual DeviceEnumerator& enumerator() = 0;
    virtual HidCommandPort& commandPort() = 0;
    virtual HidEventPort& eventPort() = 0;
    virtual Pacer& pacer() = 0;
    // Creates the listener's manual-reset `readEvent`. False when the system refuses.
    virtual bool createReadEvent() = 0;
    // Window destruction: device handles and the event closed.
    virtual void close() = 0;
    // The main window exists; the backend may keep its handle.
    virtual void attach(HWND) {}
    // A message the main window does not know; true when the backend took it.
    virtual bool handleMessage(UINT, WPARAM, LPARAM) { return false; }
};

std::unique_ptr<DeviceBackend> makeDeviceBackend();

// Runs before anything else with the process's command line. True when the process was started
// only to do what the command line says and must end now (exit code 0). The real program takes
// no options: its backend always answers false.
bool runBackendCommand(const wchar_t* commandLine);

} // namespace qor
