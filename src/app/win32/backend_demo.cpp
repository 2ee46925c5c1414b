// Qor.exe of the demo: the same program talking to the built-in mouse emulator instead of USB.
//
// A test hook exists only here: "Qor.exe --demo-event CODE VALUE" does not start the program
// but asks the running demo to make its emulated mouse send that event report (report ID 6),
// as if the user had pressed the mouse's DPI or rate button.
#include "app/win32/corvid_app.h"
#include "app/win32/device_backend.h"
#include "device/win32/pacer_win32.h"
#include "emulator/emulated_hid_system.h"
#include "emulator/mouse_emulator.h"

#include <shellapi.h>

#include <cwchar>
#include <string_view>

namespace qor {
namespace {

const wchar_t* const kEmitEventMessageName = L"QorDemoEmitEvent";

class DemoBackend final : public DeviceBackend {
public:
    DemoBackend()
        : emitEventMessage_(RegisterWindowMessageW(kEmitEventMessageName)), system_(mouse_) {}

    DeviceEnumerator& enumerator() override { return system_; }
    HidCommandPort& commandPort() override { return mouse_.commandPort(); }
    HidEventPort& eventPort() override { return mouse_.eventPort(); }
    Pacer& pacer() override { return pacer_; }
    bool createReadEvent() override { return true; }
    void close() override { mouse_.setEventCollectionOpen(false); }

    bool handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (emitEventMessage_ == 0 || message != emitEventMessage_) {
            return false;
        }
        mouse_.emitEvent(static_cast<std::uint8_t>(wParam), static_cast<std::uint8_t>(lParam));
        return true;
    }

private:
    UINT emitEventMessage_;
    MouseEmulator mouse_;
    EmulatedHidSystem system_;
    Win32Pacer pacer_;
};

bool parseNumber(const wchar_t* text, unsigned long& value) {
    wchar_t* end = nullptr;
    value = std::wcstoul(text, &end, 0);
    return end != text && *end == L'\0' && value <= 0xFF;
}

} // namespace

std::unique_ptr<DeviceBackend> makeDeviceBackend() {
    return std::make_unique<DemoBackend>();
}

bool runBackendCommand(const wchar_t* commandLine) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(commandLine, &argc);
    if (argv == nullptr) {
        return false;
    }
    bool consumed = false;
    if (argc >= 2 && std::wstring_view(argv[1]) == L"--demo-event") {
        consumed = true;
        unsigned long code = 0, value = 0;
        HWND window = FindWindowW(kWindowClassName, nullptr);
        const UINT message = RegisterWindowMessageW(kEmitEventMessageName);
        if (argc == 4 && parseNumber(argv[2], code) && parseNumber(argv[3], value) &&
            window != nullptr && message != 0) {
            PostMessageW(window, message, code, static_cast<LPARAM>(value));
        }
    }
    LocalFree(argv);
    return consumed;
}

} // namespace qor
