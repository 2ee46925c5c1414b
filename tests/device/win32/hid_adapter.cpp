// The HID adapters on a real Windows HID stack (empty under Wine: no mouse is plugged in).
#include "device/discovery.h"
#include "device/event_listener.h"
#include "device/trace.h"
#include "device/win32/hid_win32.h"
#include "device/win32/pacer_win32.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
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

TEST(HidAdapter, ListenerStartsSuspendedAndIsWokenByReadEvent) {
    Win32EventPort port;
    ASSERT_TRUE(port.createReadEvent());
    CountingEventPort counting(port);
    Win32HidSystem hid;
    NullPacer pacer;
    Events events;
    DeviceLink link(hid.commandPort(), pacer, events);
    EventListener listener(link, counting, events);
    Win32ListenerThread thread;
    ASSERT_TRUE(thread.create(listener));

    // Suspended: nothing resets the event we set.
    port.signal();
    Sleep(50);
    EXPECT_EQ(counting.passes, 0);
    EXPECT_TRUE(signalled(port.readEvent()));

    EXPECT_EQ(thread.resume(), 1u); // it was suspended once
    // Running: it resets the event and, not connected, sleeps on it.
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
    EXPECT_EQ(WaitForSingleObject(thread.handle(), 5000), WAIT_OBJECT_0);
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
