// Qor.exe of the demo: the same program talking to the built-in mouse emulator instead of USB.
//
// A test hook exists only here: "Qor.exe --demo-event CODE VALUE" (two bytes in decimal) does
// not start the program but asks the running demo to make its emulated mouse send that event
// report (report ID 6), as if the user had pressed the mouse's DPI or rate button.
//
// Two environment variables, read at start, let tests look at and shape the emulated mouse:
//   QOR_DEMO_TRACE=FILE        every transfer and pause in the trace format, one line each,
//                              written through at once so that the file can be read while the
//                              program runs; without a trace when FILE cannot be created
//   QOR_DEMO_SENSOR_TYPE=N     the sensor type the mouse reports (decimal 0..255; anything else
//                              keeps the factory value)
//   QOR_DEMO_FAULTS=WORDS      faults of the emulated mouse, as qorctl's options name them:
//                              stall-after=N, lose-answer=HH:K, ignore-writes=HH, separated by
//                              commas; a value that does not parse leaves the mouse faultless
#include "base/decimal.h"
#include "base/text_utf8.h"
#include "base/win32/scoped.h"
#include "base/win32/wide_text.h"
#include "device/trace.h"
#include "device/win32/pacer_win32.h"
#include "emulator/emulated_hid_system.h"
#include "emulator/emulator_faults.h"
#include "emulator/mouse_emulator.h"
#include "program/win32/corvid_app.h"
#include "program/win32/program_backend.h"

#include <shellapi.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace qor {
namespace {

const wchar_t* const kEmitEventMessageName = L"QorDemoEmitEvent";

std::optional<std::wstring> environmentVariable(const wchar_t* name) {
    std::wstring value(64, L'\0');
    for (;;) {
        SetLastError(ERROR_SUCCESS);
        const DWORD n =
            GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
        if (n == 0) {
            // Set but empty is still set.
            if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) {
                return std::nullopt;
            }
            return std::wstring();
        }
        if (n < value.size()) {
            value.resize(n);
            return value;
        }
        value.resize(n); // n counts the terminating zero when the buffer was too small
    }
}

// A byte in plain decimal digits, 0 to 255: a sign, blanks, a hex prefix or anything after the
// digits make the value unusable.
std::optional<std::uint8_t> decimalByte(std::wstring_view text) {
    const auto value = parseDecimalDigits(u16String(text));
    if (!value || *value > 0xFF) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(*value);
}

MouseState demoMouseState() {
    MouseState state = factoryMouseState();
    if (const auto text = environmentVariable(L"QOR_DEMO_SENSOR_TYPE")) {
        if (const auto type = decimalByte(*text)) {
            state.sensorType = *type;
        }
    }
    return state;
}

// The trace file. Each line goes to the file in one WriteFile, so a reader sees whole lines as
// soon as they are written. Others may read it meanwhile but not write it: a second instance,
// which ends before its first transfer, then cannot truncate the running one's trace.
class TraceFile {
public:
    explicit TraceFile(const wchar_t* path)
        : file_(CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr)) {}

    bool isOpen() const { return file_.valid(); }

    void write(std::string_view line) {
        std::string text(line);
        text += '\n';
        DWORD written = 0;
        WriteFile(file_.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }

private:
    ScopedHandle file_;
};

class DemoBackend final : public ProgramBackend {
public:
    DemoBackend()
        : emitEventMessage_(RegisterWindowMessageW(kEmitEventMessageName)),
          mouse_(demoMouseState()), system_(mouse_) {
        if (const auto words = environmentVariable(L"QOR_DEMO_FAULTS")) {
            const auto parsed = parseEmulatorFaults(utf16ToUtf8(u16String(*words)));
            if (!parsed.error) {
                mouse_.setFaults(parsed.faults);
            }
        }
        const auto path = environmentVariable(L"QOR_DEMO_TRACE");
        if (!path || path->empty()) {
            return;
        }
        auto file = std::make_unique<TraceFile>(path->c_str());
        if (!file->isOpen()) {
            return;
        }
        traceFile_ = std::move(file);
    }

    DeviceEnumerator& enumerator() override { return system_; }
    HidCommandPort& commandPort() override { return mouse_.commandPort(); }
    HidEventPort& eventPort() override { return mouse_.eventPort(); }
    Pacer& pacer() override { return pacer_; }
    TraceLineSink traceSink() override {
        if (!traceFile_) {
            return {};
        }
        return [file = traceFile_.get()](std::string_view line) { file->write(line); };
    }
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
    std::unique_ptr<TraceFile> traceFile_;
};

} // namespace

std::unique_ptr<ProgramBackend> makeDeviceBackend() {
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
        const auto code = argc == 4 ? decimalByte(argv[2]) : std::nullopt;
        const auto value = argc == 4 ? decimalByte(argv[3]) : std::nullopt;
        HWND window = FindWindowW(kWindowClassName, nullptr);
        const UINT message = RegisterWindowMessageW(kEmitEventMessageName);
        if (code && value && window != nullptr && message != 0) {
            PostMessageW(window, message, *code, static_cast<LPARAM>(*value));
        }
    }
    LocalFree(argv);
    return consumed;
}

} // namespace qor
