// Qor.exe for real mice: SetupDi, HidD and overlapped reads on the system's HID collections.
#include "device/win32/hid_win32.h"
#include "device/win32/pacer_win32.h"
#include "program/win32/program_backend.h"

namespace qor {
namespace {

class HidBackend final : public ProgramBackend {
public:
    DeviceEnumerator& enumerator() override { return system_; }
    HidCommandPort& commandPort() override { return system_.commandPort(); }
    HidEventPort& eventPort() override { return system_.eventPort(); }
    Pacer& pacer() override { return pacer_; }
    bool prepareEvents() override { return system_.eventPort().createReadEvent(); }
    void close() override { system_.close(); }

private:
    Win32HidSystem system_;
    Win32Pacer pacer_;
};

} // namespace

std::unique_ptr<ProgramBackend> makeDeviceBackend() {
    return std::make_unique<HidBackend>();
}

bool runBackendCommand(const wchar_t*) {
    return false;
}

} // namespace qor
