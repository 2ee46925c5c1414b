// The device side of Qor.exe, chosen per executable: the real HID services (backend_hid.cpp) or
// the built-in mouse emulator of the demo (backend_demo.cpp). Beyond what the session takes, it
// may keep the main window's handle and take messages of its own.
#pragma once
#include "session/device_backend.h"

#include <windows.h>

#include <memory>

namespace qor {

class ProgramBackend : public DeviceBackend {
public:
    // The main window exists; the backend may keep its handle.
    virtual void attach(HWND) {}
    // A message the main window does not know; true when the backend took it.
    virtual bool handleMessage(UINT, WPARAM, LPARAM) { return false; }
};

std::unique_ptr<ProgramBackend> makeDeviceBackend();

// Runs before anything else with the process's command line. True when the process was started
// only to do what the command line says and must end now (exit code 0). The real program takes
// no options: its backend always answers false.
bool runBackendCommand(const wchar_t* commandLine);

} // namespace qor
