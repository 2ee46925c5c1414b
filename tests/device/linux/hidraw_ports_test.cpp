#include "device/linux/hidraw_ports.h"

#include "device/device_fakes.h"
#include "device/event_listener.h"
#include "device/linux/fake_hidraw.h"
#include "device/sysfs_tree.h"
#include "device/trace.h"
#include "emulator/mouse_emulator.h"
#include "protocol/commands.h"
#include "protocol/sequences.h"

#include <random>

#include <gtest/gtest.h>

#include <thread>

namespace qor {
namespace {

using namespace std::chrono_literals;
using test::FakeHidraw;
using test::Report;

constexpr const char* kNode = "/dev/hidraw7";

struct CommandRig {
    explicit CommandRig(bool numbered) {
        fake.addNode(kNode);
        EXPECT_EQ(port.open(kNode, numbered), 0);
        port.onRemoval([this] { ++removals; });
    }
    FakeHidraw fake;
    HidrawCommandPort port{fake};
    int removals = 0;
};

TEST(HidrawCommandPort, ReportsKeepTheReportIdByteOfTheWindowsCalls) {
    struct Case {
        bool numbered;
        Report fromDevice;
        Report expected;
    };
    const Case cases[] = {
        // Unnumbered reports arrive alone; the ID byte 0 is put in front.
        {false, {0xAA, 0xBB, 0xCC}, {0x00, 0xAA, 0xBB, 0xCC, 0x00}},
        {false, {0x01, 0x02, 0x03, 0x04, 0x05, 0x06}, {0x00, 0x01, 0x02, 0x03, 0x04}},
        {true, {0x02, 0x07, 0x00, 0x02}, {0x02, 0x07, 0x00, 0x02, 0x00}},
    };
    for (const auto& c : cases) {
        CommandRig rig(c.numbered);
        if (c.numbered) {
            // On a node shared with the event collection an event report may come first: it is
            // no chunk.
            rig.fake.push(kNode, {kEventReportId, 7, 0, 2});
        }
        rig.fake.push(kNode, c.fromDevice);
        Report buffer(5, 0);
        EXPECT_EQ(rig.port.readReport(buffer, 100ms), ReadResult::ok);
        EXPECT_EQ(buffer, c.expected) << "numbered " << c.numbered;
    }

    CommandRig rig(false);
    const Report feature = {0x00, 0x83, 0, 0, 0, 0, 0, 0, 0x7C};
    const Report chunk(33, 0x11);
    EXPECT_EQ(rig.port.setFeature(feature, PacketCoding::plain, test::kWait), TransferResult::ok);
    EXPECT_EQ(rig.port.writeReport(chunk, test::kWait), TransferResult::ok);
    rig.fake.withNode(kNode, [&](FakeHidraw::Node& n) {
        EXPECT_EQ(n.features, std::vector<Report>{feature});
        EXPECT_EQ(n.writes, std::vector<Report>{chunk});
        n.shortWrite = 20;
        n.featureAnswer = {0x00, 0x83, 0x01, 0x02};
    });
    EXPECT_EQ(rig.port.writeReport(chunk, test::kWait), TransferResult::failed)
        << "a short write is a failed write";
    Report answer(9, 0);
    EXPECT_EQ(rig.port.getFeature(answer, PacketCoding::plain, test::kWait), TransferResult::ok);
    EXPECT_EQ(answer, (Report{0x00, 0x83, 0x01, 0x02, 0, 0, 0, 0, 0}));
}

TEST(HidrawCommandPort, FailuresAndRemoval) {
    CommandRig rig(false);
    // A refused feature read leaves the caller's buffer as it was.
    Report answer = {0, 1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_NE(rig.port.getFeature(answer, PacketCoding::plain, test::kWait), TransferResult::ok);
    EXPECT_EQ(answer, (Report{0, 1, 2, 3, 4, 5, 6, 7, 8}));

    const auto began = std::chrono::steady_clock::now();
    Report chunk(33, 0);
    EXPECT_EQ(rig.port.readReport(chunk, 30ms), ReadResult::timedOut);
    EXPECT_GE(std::chrono::steady_clock::now() - began, 30ms);

    rig.fake.unplug(kNode);
    EXPECT_NE(rig.port.setFeature(answer, PacketCoding::plain, test::kWait), TransferResult::ok);
    EXPECT_EQ(rig.removals, 1);
    EXPECT_FALSE(rig.port.isOpen());
    EXPECT_EQ(rig.fake.openCount(), 0u) << "the gone node is closed";
    EXPECT_EQ(rig.port.writeReport(chunk, test::kWait), TransferResult::failed);
    EXPECT_EQ(rig.port.readReport(chunk, 1000ms), ReadResult::failed);
    EXPECT_EQ(rig.removals, 1);

    // A removal seen while waiting for a chunk fails the read at once.
    CommandRig waiting(true);
    std::thread unplugger([&] {
        std::this_thread::sleep_for(20ms);
        waiting.fake.unplug(kNode);
    });
    EXPECT_EQ(waiting.port.readReport(chunk, 5000ms), ReadResult::failed);
    unplugger.join();
    EXPECT_EQ(waiting.removals, 1);
}

TEST(HidrawCommandPort, BlockReadOverAnUnnumberedNode) {
    CommandRig rig(false);
    NullPacer pacer;
    test::RecordingEventSink sink;
    DeviceLink link(rig.port, pacer, sink);
    link.setReportLengths(ReportLengths{9, 33, 33});
    rig.fake.withNode(kNode, [](FakeHidraw::Node& n) {
        n.featureAnswer = {0x00, 0x90, 0x01, 40, 0, 0, 0, 0, 0};
    });
    Report first(32), second(32);
    for (std::uint8_t i = 0; i < 32; ++i) {
        first[i] = static_cast<std::uint8_t>(i + 1);
        second[i] = static_cast<std::uint8_t>(i + 101);
    }
    // The chunks come after the command: what was queued before it is flushed.
    rig.fake.push(kNode, Report(32, 0xEE));
    rig.fake.withNode(kNode, [&](FakeHidraw::Node& n) {
        n.answersToNextFeature = {first, second};
    });
    CommandPacket header = makePacket(0x90, {1, 0, 0, 0, 0, 0});
    std::array<std::uint8_t, 64> payload{};
    link.blockTransfer(header, payload);
    EXPECT_EQ(header[2], 40);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), payload.begin()));
    EXPECT_TRUE(std::equal(second.begin(), second.end(), payload.begin() + 32));
}

struct ListenerRig {
    ListenerRig() {
        fake.addNode(kNode);
        EXPECT_EQ(port.open(kNode, true), 0);
        port.onRemoval([this] { ++removals; });
        link.eventReportLength = 8;
        link.connected = true;
        thread = std::thread([this] { listener.run(); });
    }
    ~ListenerRig() {
        listener.requestStop();
        thread.join();
    }
    bool waitForEvents(std::size_t n) {
        for (int i = 0; i < 400 && sink.events().size() < n; ++i) {
            std::this_thread::sleep_for(5ms);
        }
        return sink.events().size() >= n;
    }

    FakeHidraw fake;
    HidrawEventPort port{fake};
    FakeHidraw commandFake;
    HidrawCommandPort command{commandFake};
    NullPacer pacer;
    test::RecordingEventSink sink;
    DeviceLink link{command, pacer, sink};
    EventListener listener{link, port, sink};
    std::atomic<int> removals{0};
    std::thread thread;
};

TEST(HidrawEventPort, ListenerHearsTheMouseSleepsWhileItIsGoneAndHearsItAgain) {
    ListenerRig rig;
    rig.fake.push(kNode, {0x05, 0x07, 0x00, 0x02}); // another report ID
    rig.fake.push(kNode, {0x06, 0x07, 0x00, 0x02, 0, 0, 0, 0});
    ASSERT_TRUE(rig.waitForEvents(1));
    EXPECT_EQ(rig.sink.events(), (std::vector<DeviceEvent>{{DeviceEventCode::dpiStage, 2}}));

    rig.fake.unplug(kNode);
    for (int i = 0; i < 400 && rig.removals == 0; ++i) {
        std::this_thread::sleep_for(5ms);
    }
    ASSERT_EQ(rig.removals, 1);
    const unsigned pollsAfterRemoval = rig.fake.polls();
    std::this_thread::sleep_for(50ms);
    EXPECT_LE(rig.fake.polls(), pollsAfterRemoval + 1) << "the listener spins on a gone node";
    EXPECT_FALSE(rig.port.isOpen());

    // Discovery opens the node again and wakes the listener.
    rig.fake.plugIn(kNode);
    ASSERT_EQ(rig.port.open(kNode, true), 0);
    rig.port.signal();
    rig.fake.push(kNode, {0x06, 0x09, 0x00, 0x0C, 0, 0, 0, 0});
    ASSERT_TRUE(rig.waitForEvents(2));
    EXPECT_EQ(rig.sink.events().back(), (DeviceEvent{DeviceEventCode::macro, 12}));
}

TEST(HidrawSystem, DiscoveryOpensBothNodesOrNamesTheRefusal) {
    test::SysfsTree tree;
    tree.mouseNode("hidraw2", test::kMouseCommandDescriptor);
    tree.mouseNode("hidraw10", test::kMouseEventDescriptor);
    const std::string commandNode = (tree.roots().devDir / "hidraw2").string();
    const std::string eventNode = (tree.roots().devDir / "hidraw10").string();

    struct Case {
        int commandOpenError;
        bool found;
        bool eventsOpen;
    };
    for (const Case c : {Case{0, true, true}, Case{-EACCES, false, true}}) {
        FakeHidraw fake;
        fake.addNode(eventNode);
        fake.addNode(commandNode);
        fake.withNode(commandNode, [&](FakeHidraw::Node& n) { n.openError = c.commandOpenError; });
        HidrawSystem system(fake, tree.roots());
        NullPacer pacer;
        test::RecordingEventSink sink;
        test::RecordingMessageSink messages;
        DeviceLink link(system.commandPort(), pacer, sink);
        DeviceDiscovery discovery(system, link, system.eventPort(), messages, u"Qor");

        EXPECT_EQ(discovery.openDevice(), c.found);
        EXPECT_EQ(system.eventPort().isOpen(), c.eventsOpen);
        EXPECT_EQ(system.commandPort().isOpen(), c.found);
        EXPECT_EQ(link.eventReportLength.load(), 8);
        EXPECT_TRUE(messages.shown.empty());
        if (c.found) {
            EXPECT_EQ(link.reportLengths().feature, 9);
            EXPECT_EQ(link.reportLengths().input, 33);
            EXPECT_EQ(link.reportLengths().output, 33);
            EXPECT_EQ(system.lastOpenError(), 0);
        } else {
            EXPECT_EQ(system.lastOpenError(), -EACCES);
            EXPECT_EQ(system.lastOpenPath(), commandNode);
        }
    }
}

struct WireResult {
    std::vector<std::string> trace;
    MouseState mouse;
};

// Handshake, connect read-back and the whole apply sequence against the emulated mouse, either
// straight through its port or through the hidraw port over a node without report IDs.
WireResult applyOver(bool hidraw, const SettingsRecord& record) {
    MouseEmulator mouse;
    FakeHidraw fake;
    fake.addNode(kNode);
    fake.withNode(kNode, [&](FakeHidraw::Node& n) { n.device = &mouse.commandPort(); });
    HidrawCommandPort hidrawPort(fake);
    EXPECT_EQ(hidrawPort.open(kNode, false), 0);

    WireResult result;
    const TraceLineSink sink = [&](std::string_view line) { result.trace.emplace_back(line); };
    TracingCommandPort port(hidraw ? static_cast<HidCommandPort&>(hidrawPort) : mouse.commandPort(),
                            sink);
    NullPacer quiet;
    TracingPacer pacer(quiet, sink);
    test::RecordingEventSink events;
    DeviceLink link(port, pacer, events);
    link.setReportLengths(
        ReportLengths{kEmulatedFeatureLength, kEmulatedChunkLength, kEmulatedChunkLength});
    link.handshake();
    EXPECT_TRUE(link.connected);
    DeviceMirror mirror;
    DeviceCommands commands(link, pacer, mirror);
    connectReadBack(commands);
    applySettings(commands, record, ApplyPersistence{[](const SettingsRecord&) {}, [] {}});
    result.mouse = mouse.state();
    return result;
}

TEST(HidrawCommandPort, AWholeApplyOverHidrawIsTheApplyOverTheWindowsPort) {
    std::mt19937 rng(29);
    SettingsRecord record{};
    for (auto& b : recordBytes(record)) {
        b = static_cast<std::uint8_t>(rng() % 16);
    }
    const WireResult direct = applyOver(false, record);
    const WireResult overHidraw = applyOver(true, record);
    EXPECT_EQ(overHidraw.trace, direct.trace);
    EXPECT_TRUE(overHidraw.mouse == direct.mouse);
    EXPECT_GT(direct.trace.size(), 100u);
}

} // namespace
} // namespace qor
