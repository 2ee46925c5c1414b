#include "device/event_listener.h"

#include "device/device_fakes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace qor {
namespace {

TEST(EventReport, DecodesIdSixAndTheFourCodes) {
    struct Case {
        std::vector<std::uint8_t> report;
        std::optional<DeviceEvent> event;
    };
    const Case cases[] = {
        {{6, 5, 0, 2}, DeviceEvent{DeviceEventCode::reportRate, 2}},
        {{6, 7, 0x55, 3}, DeviceEvent{DeviceEventCode::dpiStage, 3}}, // byte 2 unused
        {{6, 8, 0, 1}, DeviceEvent{DeviceEventCode::keyMatrix, 1}},
        {{6, 9, 0, 0x0C, 0xFF}, DeviceEvent{DeviceEventCode::macro, 12}},
        {{6, 9, 0, 0}, DeviceEvent{DeviceEventCode::macro, 0}}, // the window shows nothing
        {{6, 6, 0, 1}, std::nullopt},
        {{6, 14, 0, 0}, std::nullopt}, // detection codes never come from the mouse
        {{6, 15, 0, 0}, std::nullopt},
        {{6, 0, 0, 0}, std::nullopt},
        {{5, 5, 0, 2}, std::nullopt},
        {{0, 7, 0, 2}, std::nullopt},
        {{7, 7, 0, 2}, std::nullopt},
        {{6, 7, 0}, std::nullopt},
        {{}, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(decodeEventReport(c.report), c.event);
    }
    for (unsigned id = 0; id < 256; ++id) {
        for (unsigned code = 0; code < 256; ++code) {
            const std::vector<std::uint8_t> report{static_cast<std::uint8_t>(id),
                                                   static_cast<std::uint8_t>(code), 0, 4};
            const bool known = code == 5 || code == 7 || code == 8 || code == 9;
            ASSERT_EQ(decodeEventReport(report).has_value(), id == 6 && known) << id << code;
        }
    }
}

// A listener thread against the emulator's event collection. The thread starts with start(), so
// that a test decides what the listener finds when it first looks.
struct ListenerRig {
    explicit ListenerRig(std::uint16_t eventLength = kEmulatedEventLength) {
        link.eventReportLength = eventLength;
    }
    ~ListenerRig() { stop(); }
    void start() {
        thread = std::thread([this] { listener.run(); });
    }
    void stop() {
        if (thread.joinable()) {
            listener.requestStop();
            thread.join();
        }
    }
    void connect() {
        mouse.setEventCollectionOpen(true);
        link.connected = true;
        mouse.eventPort().signal(); // as discovery does after opening
    }
    template <typename Condition> static bool eventually(Condition condition) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > until) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }
    bool waitForEvents(std::size_t n) {
        return eventually([&] { return sink.events().size() >= n; });
    }
    // Until the listener has begun its n-th read and waits in it.
    bool waitForRead(unsigned n) {
        return eventually([&] {
            const auto reads = mouse.eventReads();
            return reads.begun >= n && reads.pending;
        });
    }

    MouseEmulator mouse;
    NullPacer pacer;
    test::RecordingEventSink sink;
    DeviceLink link{mouse.commandPort(), pacer, sink};
    EventListener listener{link, mouse.eventPort(), sink};
    std::thread thread;
};

TEST(EventListener, DeliversEveryKnownEventAndDropsTheRest) {
    ListenerRig r;
    r.connect();
    r.mouse.emitEvent(5, 1);
    r.mouse.emitEvent(5, 2, 5); // report ID 5
    r.mouse.emitEvent(7, 3);
    r.mouse.emitEvent(6, 1); // code 6
    r.mouse.emitEvent(8, 2);
    r.mouse.emitEvent(std::vector<std::uint8_t>{}); // empty report reads as zeros
    r.mouse.emitEvent(9, 12);
    r.mouse.emitEvent(14, 0);
    r.mouse.emitEvent(5, 8);
    r.start();
    // Nine reports, nine reads; the tenth waits.
    ASSERT_TRUE(r.waitForRead(10));
    EXPECT_EQ(r.sink.events(), (std::vector<DeviceEvent>{{DeviceEventCode::reportRate, 1},
                                                         {DeviceEventCode::dpiStage, 3},
                                                         {DeviceEventCode::keyMatrix, 2},
                                                         {DeviceEventCode::macro, 12},
                                                         {DeviceEventCode::reportRate, 8}}));
}

TEST(EventListener, NoReadUntilConnectedThenWokenBySignal) {
    ListenerRig r;
    r.start();
    r.mouse.emitEvent(7, 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    // Not connected, collection not open: the report stays queued.
    EXPECT_TRUE(r.sink.events().empty());
    EXPECT_EQ(r.mouse.eventReads().begun, 0u);
    r.connect();
    ASSERT_TRUE(r.waitForEvents(1));
    EXPECT_EQ(r.sink.events()[0], (DeviceEvent{DeviceEventCode::dpiStage, 1}));
}

TEST(EventListener, SurvivesUnplugAndListensAgainAfterReconnect) {
    ListenerRig r;
    r.connect();
    r.start();
    r.mouse.emitEvent(8, 1);
    ASSERT_TRUE(r.waitForEvents(1));
    ASSERT_TRUE(r.waitForRead(2)); // the next read is pending
    r.mouse.unplug();              // completes the pending read empty
    r.link.connected = false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    r.mouse.plugIn();
    r.connect();
    r.mouse.emitEvent(8, 2);
    ASSERT_TRUE(r.waitForEvents(2));
    EXPECT_EQ(r.sink.events()[1], (DeviceEvent{DeviceEventCode::keyMatrix, 2}));
}

TEST(EventListener, TakesTheEventLengthOfTheLatestOpen) {
    // The first open listed the feature collection first and found no event collection.
    ListenerRig r(0);
    r.start();
    r.link.connected = true;
    r.mouse.eventPort().signal();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    // A later open finds it.
    r.link.eventReportLength = kEmulatedEventLength;
    r.connect();
    r.mouse.emitEvent(7, 2);
    ASSERT_TRUE(r.waitForEvents(1));
    EXPECT_EQ(r.sink.events()[0], (DeviceEvent{DeviceEventCode::dpiStage, 2}));
}

TEST(EventListener, StopsWhileAReadIsPending) {
    ListenerRig r;
    r.connect();
    r.start();
    ASSERT_TRUE(r.waitForRead(1));
    const auto start = std::chrono::steady_clock::now();
    r.stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    // The cancelled read no longer writes into the listener's buffer.
    EXPECT_FALSE(r.mouse.eventReads().pending);
    r.mouse.emitEvent(5, 1);
    EXPECT_TRUE(r.sink.events().empty());
}

// Woken while its read is pending by something that is not a completion (discovery signals
// after every open, and a plug-in opens again): the read ends with nothing, the listener reads
// again, and later reports and a stop still reach it.
TEST(EventListener, AWakeUpThatIsNotACompletionEndsTheRead) {
    ListenerRig r;
    r.connect();
    r.start();
    ASSERT_TRUE(r.waitForRead(1));
    r.mouse.eventPort().signal();
    const bool readAgain = r.waitForRead(2);
    if (!readAgain) {
        r.mouse.emitEvent(8, 1); // free a listener stuck in the woken read before failing
    }
    ASSERT_TRUE(readAgain) << "the listener still waits in the read that was woken";
    r.mouse.emitEvent(7, 4);
    ASSERT_TRUE(r.waitForEvents(1));
    EXPECT_EQ(r.sink.events(), (std::vector<DeviceEvent>{{DeviceEventCode::dpiStage, 4}}));
    ASSERT_TRUE(r.waitForRead(3));
    const auto start = std::chrono::steady_clock::now();
    r.stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

} // namespace
} // namespace qor
