// The HID adapters on a real Windows HID stack (empty under Wine: no mouse is plugged in).
#include "device/discovery.h"
#include "device/event_listener.h"
#include "device/trace.h"
#include "device/win32/hid_win32.h"
#include "device/win32/pacer_win32.h"
#include "emulator/emulated_hid_system.h"
#include "emulator/mouse_emulator.h"

#include <dbt.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace qor {
namespace {

struct Events final : DeviceEventSink {
    std::vector<DeviceEvent> events;
    void deliver(DeviceEventCode code, std::uint32_t value) override {
        events.push_back({code, value});
    }
};

struct Messages final : MessageSink {
    std::vector<std::u16string> shown;
    void show(std::u16string_view text, std::u16string_view) override { shown.emplace_back(text); }
};

// Counts what discovery asks of the real enumeration.
struct CountingEnumerator final : DeviceEnumerator {
    explicit CountingEnumerator(DeviceEnumerator& real) : inner(real) {}
    bool beginScan() override {
        scanStarted = inner.beginScan();
        return scanStarted;
    }
    InterfaceStatus describe(std::uint32_t index, std::u16string& path,
                             HidAttributes& attributes) override {
        const InterfaceStatus status = inner.describe(index, path, attributes);
        statuses.push_back(status);
        if (status == InterfaceStatus::ok) {
            vendors.push_back(attributes.vendorId);
        }
        return status;
    }
    CapsStatus capabilities(HidCaps& caps) override { return inner.capabilities(caps); }
    void endScan() override {
        ++scanEnded;
        inner.endScan();
    }
    bool openEventRead(const std::u16string& p) override { return inner.openEventRead(p); }
    bool openEventWrite(const std::u16string& p) override { return inner.openEventWrite(p); }
    bool openCommand(const std::u16string& p) override { return inner.openCommand(p); }
    void closeDevice() override { inner.closeDevice(); }

    DeviceEnumerator& inner;
    bool scanStarted = false;
    int scanEnded = 0;
    std::vector<InterfaceStatus> statuses;
    std::vector<std::uint16_t> vendors;
};

TEST(HidAdapter, OpenDeviceScansTheHidInterfacesAndFindsNoMouse) {
    Win32HidSystem hid;
    CountingEnumerator counting(hid);
    Win32Pacer pacer;
    Events events;
    Messages messages;
    DeviceLink link(hid.commandPort(), pacer, events);
    DeviceDiscovery discovery(counting, link, hid.eventPort(), messages, u"Qor");

    EXPECT_FALSE(discovery.openDevice());
    EXPECT_TRUE(counting.scanStarted);
    EXPECT_EQ(counting.scanEnded, 1);
    ASSERT_FALSE(counting.statuses.empty());
    // The whole set was walked: every member was described, up to the end of the set.
    EXPECT_EQ(counting.statuses.back(), InterfaceStatus::noMoreItems);
    for (std::uint16_t vendor : counting.vendors) {
        EXPECT_NE(vendor, kMouseVendorId);
    }
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(hid.eventPort().isOpen());
    EXPECT_FALSE(hid.commandPort().isOpen());

    // With no handle, the handshake misses and reports the mouse as not detected.
    link.handshake();
    EXPECT_FALSE(link.connected);
    ASSERT_EQ(events.events.size(), 1u);
    EXPECT_EQ(events.events[0].code, DeviceEventCode::mouseNotDetected);
    std::array<std::uint8_t, 32> chunk{};
    EXPECT_EQ(hid.commandPort().readReport(chunk, std::chrono::milliseconds(10)),
              ReadResult::failed);
}

// Counts the listener's passes through the top of its loop (each pass resets readEvent).
struct CountingEventPort final : HidEventPort {
    explicit CountingEventPort(Win32EventPort& real) : inner(real) {}
    void resetSignal() override {
        inner.resetSignal();
        ++passes;
    }
    void waitSignal() override { inner.waitSignal(); }
    void signal() override { inner.signal(); }
    bool isOpen() const override { return inner.isOpen(); }
    bool beginRead(std::span<std::uint8_t> b) override { return inner.beginRead(b); }
    std::size_t finishRead() override { return inner.finishRead(); }
    void cancelRead() override { inner.cancelRead(); }

    Win32EventPort& inner;
    std::atomic<int> passes{0};
};

bool signalled(HANDLE event) {
    return WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
}

template <typename Condition> bool eventually(Condition condition) {
    for (int i = 0; i < 500; ++i) {
        if (condition()) {
            return true;
        }
        Sleep(10);
    }
    return condition();
}

TEST(HidAdapter, ListenerIsWokenByReadEvent) {
    Win32EventPort port;
    ASSERT_TRUE(port.createReadEvent());
    CountingEventPort counting(port);
    Win32HidSystem hid;
    NullPacer pacer;
    Events events;
    DeviceLink link(hid.commandPort(), pacer, events);
    EventListener listener(link, counting, events);
    std::thread thread([&] { listener.run(); });

    // Not connected, it resets the event and sleeps on it.
    ASSERT_TRUE(eventually([&] { return counting.passes == 1 && !signalled(port.readEvent()); }));
    Sleep(30);
    EXPECT_EQ(counting.passes, 1); // asleep, not spinning

    // readEvent wakes it: one more pass, and it sleeps again.
    port.signal();
    ASSERT_TRUE(eventually([&] { return counting.passes == 2 && !signalled(port.readEvent()); }));
    Sleep(30);
    EXPECT_EQ(counting.passes, 2);
    EXPECT_TRUE(events.events.empty());

    listener.requestStop();
    thread.join();
}

// A named pipe stands in for the input collection: like a HID handle, each opened handle gets
// the reports written to it and a read waits until one arrives.
class PipeCollection {
public:
    explicit PipeCollection(const wchar_t* name) : path_(std::wstring(L"\\\\.\\pipe\\") + name) {
        server_ = CreateNamedPipeW(path_.c_str(), PIPE_ACCESS_OUTBOUND,
                                   PIPE_TYPE_MESSAGE | PIPE_WAIT, 1, 64, 64, 0, nullptr);
    }
    ~PipeCollection() {
        if (server_ != INVALID_HANDLE_VALUE) {
            CloseHandle(server_);
        }
    }
    bool ok() const { return server_ != INVALID_HANDLE_VALUE; }
    const std::wstring& path() const { return path_; }
    bool send(std::vector<std::uint8_t> report) {
        DWORD written = 0;
        return WriteFile(server_, report.data(), static_cast<DWORD>(report.size()), &written,
                         nullptr) &&
               written == report.size();
    }

private:
    std::wstring path_;
    HANDLE server_ = INVALID_HANDLE_VALUE;
};

struct FinishResult {
    Win32EventPort* port = nullptr;
    std::size_t bytes = 0;
};

DWORD WINAPI finishReadProc(LPVOID parameter) {
    auto* r = static_cast<FinishResult*>(parameter);
    r->bytes = r->port->finishRead();
    return 0;
}

// The listener woken while its read is still in flight: by a reopen (one plug-in announces every
// collection of the mouse; each handle queues its own copy of every later report) or by any
// other signal of readEvent. The read is abandoned at once, keeping a report that had already
// arrived; once finishRead returns, the read is over (nothing writes the buffer any more, the
// record can be reused), and nothing sent meanwhile is lost.
TEST(HidAdapter, WokenReadIsAbandonedAndOverBeforeTheNextOne) {
    const struct {
        const wchar_t* name;
        bool reopen;
        bool signalled;
        bool reportBefore;
        std::size_t expectedBytes;
    } cases[] = {
        {L"qor-reopen-idle", true, true, false, 0},
        {L"qor-reopen-report", true, true, true, 4},
        {L"qor-reopen-unsignalled", true, false, false, 0},
        {L"qor-woken-idle", false, true, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.name, c.name + wcslen(c.name)));
        const std::wstring name(c.name);
        PipeCollection first((name + L"-1").c_str());
        PipeCollection second((name + L"-2").c_str());
        ASSERT_TRUE(first.ok() && second.ok());
        Win32EventPort port;
        ASSERT_TRUE(port.createReadEvent());
        ASSERT_TRUE(port.openRead(first.path()));
        std::array<std::uint8_t, 8> buffer{};
        ASSERT_TRUE(port.beginRead(buffer));
        if (c.reportBefore) {
            ASSERT_TRUE(first.send({6, 7, 0, 2}));
            Sleep(50);
        }
        if (c.reopen) {
            ASSERT_TRUE(port.openRead(second.path())); // the window's thread reopens
        }
        if (c.signalled) {
            port.signal(); // as discovery does after opening the input collection
        }

        FinishResult result{&port};
        HANDLE thread = CreateThread(nullptr, 0, finishReadProc, &result, 0, nullptr);
        ASSERT_NE(thread, nullptr);
        const DWORD waited = WaitForSingleObject(thread, 3000);
        if (waited != WAIT_OBJECT_0) {
            first.send({6, 5, 0, 1}); // release the stuck read before failing
            WaitForSingleObject(thread, INFINITE);
        }
        CloseHandle(thread);
        ASSERT_EQ(waited, WAIT_OBJECT_0) << "the woken read was waited out";
        EXPECT_EQ(result.bytes, c.expectedBytes);
        if (c.reportBefore) {
            EXPECT_EQ(buffer[1], 7);
            EXPECT_EQ(buffer[3], 2);
        }

        // The abandoned read is over: a report sent now stays where it is.
        const auto before = buffer;
        ASSERT_TRUE(first.send({6, 8, 0, 1}));
        Sleep(100);
        EXPECT_EQ(buffer, before) << "the abandoned read still wrote the buffer";

        // The next read: on the new handle after a reopen (the old one closed by then),
        // otherwise the report sent meanwhile.
        buffer.fill(0);
        ASSERT_TRUE(port.beginRead(buffer));
        if (c.reopen) {
            EXPECT_FALSE(first.send({6, 8, 0, 1})) << "the replaced handle is still open";
            ASSERT_TRUE(second.send({6, 9, 0, 12}));
        }
        EXPECT_EQ(port.finishRead(), 4u);
        EXPECT_EQ(buffer[1], c.reopen ? 9 : 8);
        EXPECT_EQ(buffer[3], c.reopen ? 12 : 1);
        port.close();
    }
}

// The mouse pulled out just as the listener starts a read: the window's thread closes the
// handles while beginRead is between taking the read handle and reading from it. The close waits
// until the read has started, on the handle still open, and then aborts it; the read never
// starts on a closed handle, whose value may already name another object.
TEST(HidAdapter, ClosingWaitsForAReadBeingStartedAndAbortsIt) {
    PipeCollection pipe(L"qor-close-while-starting");
    ASSERT_TRUE(pipe.ok());
    ScopedHandle entered(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(entered.valid());
    std::atomic<bool> handleOpenAtStart{false};
    Win32EventPort port([&](HANDLE handle, std::span<std::uint8_t> buffer, OVERLAPPED* overlapped) {
        SetEvent(entered.get());
        Sleep(200); // the window's thread closes the handles meanwhile
        DWORD flags = 0;
        handleOpenAtStart = GetHandleInformation(handle, &flags) != FALSE;
        return startReadFile(handle, buffer, overlapped);
    });
    ASSERT_TRUE(port.createReadEvent());
    ASSERT_TRUE(port.openRead(pipe.path()));
    std::array<std::uint8_t, 8> buffer{};
    std::atomic<bool> started{false};
    std::thread listener([&] { started = port.beginRead(buffer); });
    ASSERT_EQ(WaitForSingleObject(entered.get(), 5000), WAIT_OBJECT_0);
    port.closeHandles();
    listener.join();
    EXPECT_TRUE(handleOpenAtStart) << "the read started on a handle already closed";
    EXPECT_TRUE(started);
    EXPECT_FALSE(port.isOpen());

    // The close aborted the read: finishing it takes nothing and does not wait for a report.
    FinishResult result{&port};
    const ScopedHandle thread(CreateThread(nullptr, 0, finishReadProc, &result, 0, nullptr));
    ASSERT_TRUE(thread.valid());
    const DWORD waited = WaitForSingleObject(thread.get(), 3000);
    if (waited != WAIT_OBJECT_0) {
        pipe.send({6, 5, 0, 1}); // release a read still waiting before failing
        WaitForSingleObject(thread.get(), INFINITE);
    }
    ASSERT_EQ(waited, WAIT_OBJECT_0) << "the read outlived its handle";
    EXPECT_EQ(result.bytes, 0u);
    // The next read finds no handle.
    EXPECT_FALSE(port.beginRead(buffer));
    port.close();
}

// WM_DEVICECHANGE as the system sends it: the broadcast records read from lParam, against the
// emulated machine.
struct ChangeHost final : DeviceChangeHost {
    int hides = 0;
    int readBacks = 0;
    void hideWindow() override { ++hides; }
    void connectReadBack() override { ++readBacks; }
};

// The emulated machine with the device-change handler on top, as the window holds it.
struct ChangeRig {
    explicit ChangeRig(std::function<void()> startListener) : gate(std::move(startListener)) {}
    MouseEmulator emulated;
    EmulatedHidSystem hid{emulated};
    NullPacer pacer;
    Events events;
    Messages messages;
    DeviceLink link{emulated.commandPort(), pacer, events};
    DeviceDiscovery discovery{hid, link, emulated.eventPort(), messages, u"Qor"};
    ChangeHost host;
    ListenerGate gate;
    DeviceChangeHandler handler{discovery, link, events, host, gate};
};

// A device-interface broadcast with its name inline, as the system builds it.
std::vector<std::uint8_t> interfaceBroadcast(const std::wstring& name) {
    std::vector<std::uint8_t> bytes(sizeof(DEV_BROADCAST_DEVICEINTERFACE_W) +
                                    name.size() * sizeof(wchar_t));
    auto* record = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(bytes.data());
    record->dbcc_size = static_cast<DWORD>(bytes.size());
    record->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    std::copy(name.begin(), name.end(), record->dbcc_name);
    return bytes;
}

TEST(HidAdapter, DeviceChangeBroadcastsReachTheHandler) {
    const std::wstring mouse = L"\\\\?\\HID#VID_04D9&PID_A09F&MI_01&Col03#8&2c4b1d0e&0&0002#"
                               L"{4d1e55b2-f16f-11cf-88cb-001111000030}";
    const std::wstring lowerCase = L"\\\\?\\hid#vid_04d9&pid_a09f&mi_01&col03#8&2c4b1d0e&0&0002#"
                                   L"{4d1e55b2-f16f-11cf-88cb-001111000030}";
    auto arrival = interfaceBroadcast(mouse);
    auto lower = interfaceBroadcast(lowerCase);
    DEV_BROADCAST_VOLUME volume{};
    volume.dbcv_size = sizeof volume;
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    volume.dbcv_unitmask = 1u << 4;

    const struct {
        const char* what;
        WPARAM event;
        LPARAM broadcast;
        unsigned scans;
        bool started;
    } cases[] = {
        {"arrival of the mouse", DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(arrival.data()), 1,
         true},
        {"removal of the mouse", DBT_DEVICEREMOVECOMPLETE, reinterpret_cast<LPARAM>(arrival.data()),
         1, false},
        {"the name in lower case", DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(lower.data()), 0,
         false},
        {"a volume", DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&volume), 0, false},
        {"a query before removal", DBT_DEVICEQUERYREMOVE, reinterpret_cast<LPARAM>(arrival.data()),
         0, false},
        {"device nodes changed, no record", DBT_DEVNODES_CHANGED, 0, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        int resumes = 0;
        ChangeRig rig([&] { ++resumes; });

        EXPECT_EQ(handleDeviceChange(rig.handler, c.event, c.broadcast), TRUE);
        EXPECT_EQ(rig.hid.scans(), c.scans);
        EXPECT_EQ(rig.link.connected.load(), c.scans != 0);
        EXPECT_EQ(rig.gate.started(), c.started);
        EXPECT_EQ(resumes, c.started ? 1 : 0);
        EXPECT_EQ(rig.host.readBacks, c.started ? 1 : 0);
        EXPECT_EQ(rig.host.hides, 0);
    }

    // The mouse pulled out: its removal finds nothing, hides the window, reports it gone.
    ChangeRig rig(nullptr);
    rig.link.connected = true;
    rig.emulated.unplug();
    EXPECT_EQ(handleDeviceChange(rig.handler, DBT_DEVICEREMOVECOMPLETE,
                                 reinterpret_cast<LPARAM>(arrival.data())),
              TRUE);
    EXPECT_FALSE(rig.link.connected);
    EXPECT_EQ(rig.host.hides, 1);
    ASSERT_FALSE(rig.events.events.empty());
    EXPECT_EQ(rig.events.events.back().code, DeviceEventCode::mouseNotDetected);
}

TEST(HidAdapter, PacerGivesShortPauses) {
    Win32Pacer pacer;
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    for (const unsigned pause : {2u, 3u, 5u}) {
        LARGE_INTEGER start{};
        LARGE_INTEGER end{};
        QueryPerformanceCounter(&start);
        for (int i = 0; i < 20; ++i) {
            pacer.pause(pause);
        }
        QueryPerformanceCounter(&end);
        const double average = 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                               static_cast<double>(frequency.QuadPart) / 20;
        std::printf("pause %u ms: %.2f ms on average (%s)\n", pause, average,
                    pacer.highResolution() ? "high-resolution timer" : "timeBeginPeriod");
        // Never shorter than asked; far below the default 15.6 ms tick.
        EXPECT_GE(average, pause * 0.95);
        EXPECT_LT(average, pause + 8.0);
    }
}

} // namespace
} // namespace qor
