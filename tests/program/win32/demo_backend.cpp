// The demo build's backend and its two environment variables: the wire trace file and the
// sensor type of the emulated mouse.
#include "program/win32/program_backend.h"

#include "program/win32/corvid_app.h"

#include "device/device_fakes.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <utility>

namespace qor {
namespace {

// Sets (or, with nullopt, removes) an environment variable for one scope.
class ScopedEnvironment {
public:
    ScopedEnvironment(const wchar_t* name, std::optional<std::wstring> value) : name_(name) {
        SetEnvironmentVariableW(name_, value ? value->c_str() : nullptr);
    }
    ~ScopedEnvironment() { SetEnvironmentVariableW(name_, nullptr); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const wchar_t* name_;
};

std::wstring tempPath(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

// The file's bytes, read while the writer may still hold it open.
std::optional<std::string> readFile(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

CommandPacket readSensor(DeviceLink& link) {
    CommandPacket packet = makePacket(0x83);
    link.exchange(packet);
    return packet;
}

TraceLineSink sinkOf(DeviceBackend& backend) {
    TraceLineSink sink = backend.traceSink();
    return sink ? sink : [](std::string_view) {};
}

// The window's first steps on the wire over the backend's ports, traced where the backend asks
// as the session traces them: the handshake, then the read of the sensor and rate bytes, whose
// answer is returned.
struct Session {
    explicit Session(DeviceBackend& backend)
        : command(backend.commandPort(), sinkOf(backend)), pacer(backend.pacer(), sinkOf(backend)),
          link(command, pacer, events) {
        link.setReportLengths(
            ReportLengths{kEmulatedFeatureLength, kEmulatedChunkLength, kEmulatedChunkLength});
        link.handshake();
        EXPECT_TRUE(link.connected);
    }
    TracingCommandPort command;
    TracingPacer pacer;
    test::RecordingEventSink events;
    DeviceLink link;
};

CommandPacket handshakeAndReadSensor(DeviceBackend& backend) {
    Session session(backend);
    return readSensor(session.link);
}

// The same steps, with `reads` reads, against a bare emulator through the trace decorators,
// written to a string.
std::string expectedTrace(int reads = 1) {
    test::EmulatedLink e;
    e.link.handshake();
    for (int i = 0; i < reads; ++i) {
        readSensor(e.link);
    }
    return e.takeTrace();
}

TEST(DemoBackendTrace, EveryLineIsInTheFileWhileTheProgramRuns) {
    const std::wstring path = tempPath(L"qor_demo_backend_trace.txt");
    DeleteFileW(path.c_str());
    ScopedEnvironment trace(L"QOR_DEMO_TRACE", path);
    auto backend = makeDeviceBackend();
    handshakeAndReadSensor(*backend);

    const auto written = readFile(path); // the backend still holds the file
    ASSERT_TRUE(written) << "no trace file";
    const std::string expected = expectedTrace();
    ASSERT_NE(expected.find("set_feature "), std::string::npos);
    ASSERT_NE(expected.find("sleep 5\n"), std::string::npos) << "the pacer is traced too";
    EXPECT_EQ(*written, expected) << "LF line ends, nothing lost or buffered";

    backend.reset();
    EXPECT_EQ(readFile(path), expected);
    DeleteFileW(path.c_str());
}

TEST(DemoBackendTrace, ASecondInstanceLeavesTheRunningOnesTraceAlone) {
    // A second instance builds its backend before it finds the first one running and ends.
    const std::wstring path = tempPath(L"qor_demo_backend_second.txt");
    DeleteFileW(path.c_str());
    ScopedEnvironment trace(L"QOR_DEMO_TRACE", path);
    auto first = makeDeviceBackend();
    Session session(*first);
    readSensor(session.link);
    makeDeviceBackend().reset();
    readSensor(session.link);
    EXPECT_EQ(readFile(path), expectedTrace(2));
    DeleteFileW(path.c_str());
}

TEST(DemoBackendTrace, WithoutAUsableFileTheMouseStillAnswers) {
    const std::wstring missingFolder = tempPath(L"qor_no_such_folder\\trace.txt");
    const std::optional<std::wstring> values[] = {std::nullopt, std::wstring(), missingFolder};
    for (const auto& value : values) {
        ScopedEnvironment trace(L"QOR_DEMO_TRACE", value);
        auto backend = makeDeviceBackend();
        const CommandPacket answer = handshakeAndReadSensor(*backend);
        EXPECT_EQ(int{answer[0]}, 0x83);
        EXPECT_EQ(int{answer[1]}, int{factoryMouseState().sensorType});
        EXPECT_EQ(GetFileAttributesW(missingFolder.c_str()), INVALID_FILE_ATTRIBUTES);
    }
}

TEST(DemoBackendSensorType, TheEnvironmentSetsWhatTheMouseReports) {
    const std::uint8_t factory = factoryMouseState().sensorType;
    ASSERT_NE(factory, 0);
    const struct {
        std::optional<std::wstring> value;
        std::uint8_t reported;
    } cases[] = {
        {std::nullopt, factory},
        {L"0", 0},
        {L"3", 3},
        {L"17", 17},
        {L"255", 255},
        {L"007", 7},
        // not a decimal byte: ignored
        {L"", factory},
        {L"256", factory},
        {L"1000", factory},
        {L"99999999999999999999", factory},
        {L"-1", factory},
        {L"+3", factory},
        {L" 3", factory},
        {L"3 ", factory},
        {L"0x10", factory},
        {L"3a", factory},
        {L"abc", factory},
    };
    for (const auto& c : cases) {
        ScopedEnvironment sensor(L"QOR_DEMO_SENSOR_TYPE", c.value);
        auto backend = makeDeviceBackend();
        const CommandPacket answer = handshakeAndReadSensor(*backend);
        EXPECT_EQ(int{answer[1]}, int{c.reported})
            << "QOR_DEMO_SENSOR_TYPE="
            << (c.value ? std::string(c.value->begin(), c.value->end()) : std::string("(unset)"));
    }
}

// "Qor.exe --demo-event CODE VALUE" reaches the running demo (found by its window class) as one
// message carrying the code and the value, each a byte in plain decimal digits; anything else on
// that command line sends nothing. Without the option the command line is not the hook's.
TEST(DemoBackendEventHook, PostsDecimalBytesToTheRunningDemo) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClassName;
    ASSERT_NE(RegisterClassW(&windowClass), 0);
    HWND window = CreateWindowW(kWindowClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                instance, nullptr);
    ASSERT_NE(window, nullptr);
    const UINT message = RegisterWindowMessageW(L"QorDemoEmitEvent");
    ASSERT_NE(message, 0u);
    auto backend = makeDeviceBackend();

    const struct {
        const wchar_t* commandLine;
        std::optional<std::pair<WPARAM, LPARAM>> posted;
    } cases[] = {
        {L"Qor.exe --demo-event 7 2", std::pair<WPARAM, LPARAM>{7, 2}},
        {L"Qor.exe --demo-event 0 255", std::pair<WPARAM, LPARAM>{0, 255}},
        // not two decimal bytes (decimal_test.cpp has the rules of the digits): nothing is sent
        {L"Qor.exe --demo-event 256 1", std::nullopt},
        {L"Qor.exe --demo-event 0x07 2", std::nullopt},
        {L"Qor.exe --demo-event \" 7\" 2", std::nullopt},
        {L"Qor.exe --demo-event 7", std::nullopt},
        {L"Qor.exe --demo-event 7 2 3", std::nullopt},
    };
    for (const auto& c : cases) {
        const std::wstring line(c.commandLine);
        SCOPED_TRACE(std::string(line.begin(), line.end()));
        EXPECT_TRUE(runBackendCommand(c.commandLine));
        MSG posted{};
        const bool got = PeekMessageW(&posted, window, message, message, PM_REMOVE) != FALSE;
        ASSERT_EQ(got, c.posted.has_value());
        if (got) {
            EXPECT_EQ(posted.wParam, c.posted->first);
            EXPECT_EQ(posted.lParam, c.posted->second);
            EXPECT_TRUE(backend->handleMessage(posted.message, posted.wParam, posted.lParam));
        }
    }
    EXPECT_FALSE(runBackendCommand(L"Qor.exe"));
    EXPECT_FALSE(runBackendCommand(L"Qor.exe --demo"));
    DestroyWindow(window);
    UnregisterClassW(kWindowClassName, instance);
}

} // namespace
} // namespace qor
