#include "device/device_link.h"

#include "device/device_fakes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <vector>

namespace qor {
namespace {

using test::EmulatedLink;

TEST(Handshake, GoldenTraceAgainstTheEmulator) {
    EmulatedLink e;
    e.link.handshake();
    EXPECT_EQ(e.takeTrace(), "set_feature 00 c6 93 2f 71 00 00 06\n"
                             "sleep 5\n"
                             "get_feature 00 00 00 00 00 00 00 ff\n"
                             "set_feature 00 c6 93 2f 71 00 00 06\n"
                             "sleep 5\n"
                             "get_feature 00 c6 93 2f 71 00 00 06\n");
    EXPECT_TRUE(e.link.connected);
    EXPECT_TRUE(e.link.scrambleOn);
    EXPECT_TRUE(e.mouse.scrambling());
}

TEST(Handshake, OutcomeForNormalSilentAndPlainEchoingMice) {
    enum class Mouse { normal, silent, absent, plainEcho };
    struct Case {
        Mouse mouse;
        bool connected;
        DeviceEventCode notice;
    };
    const Case cases[] = {
        {Mouse::normal, true, DeviceEventCode::mouseDetected},
        {Mouse::silent, false, DeviceEventCode::mouseNotDetected},
        {Mouse::absent, false, DeviceEventCode::mouseNotDetected},
        {Mouse::plainEcho, false, DeviceEventCode::mouseNotDetected},
    };
    for (const auto& c : cases) {
        EmulatedLink e;
        // Start from the opposite state so that both flags must be written.
        e.link.connected = !c.connected;
        e.link.scrambleOn = !c.connected;
        switch (c.mouse) {
        case Mouse::normal:
            break;
        case Mouse::silent:
            e.mouse.dropAnswers(2);
            break;
        case Mouse::absent:
            e.mouse.unplug();
            break;
        case Mouse::plainEcho:
            e.mouse.setEchoPlainProbe(true);
            break;
        }
        e.link.handshake();
        EXPECT_EQ(e.link.connected, c.connected);
        EXPECT_EQ(e.link.scrambleOn, c.connected);
        ASSERT_EQ(e.sink.events().size(), 1u);
        EXPECT_EQ(e.sink.events()[0], (DeviceEvent{c.notice, 0}));
        // The window has been told before the flag changed.
        EXPECT_EQ(e.sink.connectedAtDelivery()[0], !c.connected);
    }
}

TEST(Handshake, PlainEchoStopsAfterOneProbe) {
    EmulatedLink e;
    e.mouse.setEchoPlainProbe(true);
    e.link.handshake();
    EXPECT_EQ(e.takeTrace(), "set_feature 00 c6 93 2f 71 00 00 06\n"
                             "sleep 5\n"
                             "get_feature 00 c6 93 2f 71 00 00 06\n");
}

TEST(Exchange, WriteCommandRecomputesChecksumAndReadsNothing) {
    EmulatedLink e;
    CommandPacket p{0x03, 0x02, 0x01, 0x2A, 0x55, 0, 0, 0x13}; // stale checksum byte
    EXPECT_EQ(e.link.exchange(p), TransferResult::ok);
    EXPECT_EQ(e.takeTrace(), "set_feature 03 02 01 2a 55 00 00 7a\n");
    EXPECT_EQ(e.mouse.state().option2, 0x55);
    EXPECT_EQ(e.mouse.rejectedPackets(), 0u);
}

TEST(Exchange, ScrambledWriteGoesOutScrambledAndIsUnderstood) {
    EmulatedLink e;
    e.connect();
    std::vector<std::vector<std::uint8_t>> wire;
    struct Spy final : HidCommandPort {
        HidCommandPort& inner;
        std::vector<std::vector<std::uint8_t>>& wire;
        Spy(HidCommandPort& i, std::vector<std::vector<std::uint8_t>>& w) : inner(i), wire(w) {}
        TransferResult setFeature(std::span<const std::uint8_t> r, PacketCoding c,
                                  std::chrono::milliseconds t) override {
            wire.emplace_back(r.begin(), r.end());
            return inner.setFeature(r, c, t);
        }
        TransferResult getFeature(std::span<std::uint8_t> r, PacketCoding c,
                                  std::chrono::milliseconds t) override {
            return inner.getFeature(r, c, t);
        }
        TransferResult writeReport(std::span<const std::uint8_t> r,
                                   std::chrono::milliseconds t) override {
            return inner.writeReport(r, t);
        }
        void flushInput() override { inner.flushInput(); }
        ReadResult readReport(std::span<std::uint8_t> r, std::chrono::milliseconds t) override {
            return inner.readReport(r, t);
        }
    } spy(e.mouse.commandPort(), wire);
    DeviceLink link(spy, e.nullPacer, e.sink);
    link.setReportLengths(e.link.reportLengths());
    link.handshake();
    ASSERT_TRUE(link.scrambleOn);
    wire.clear();
    CommandPacket p = makePacket(0x0D, {1, 2, 3});
    link.exchange(p);
    ASSERT_EQ(wire.size(), 1u);
    CommandPacket expected = makePacket(0x0D, {1, 2, 3});
    scramble(expected, firmwareScrambleKeys());
    EXPECT_EQ(std::vector<std::uint8_t>(wire[0].begin() + 1, wire[0].end()),
              std::vector<std::uint8_t>(expected.begin(), expected.end()));
    EXPECT_EQ(wire[0][0], 0); // report ID
    const MouseState s = e.mouse.state();
    EXPECT_EQ(s.effect, 1);
    EXPECT_EQ(s.effectOption1, 2);
    EXPECT_EQ(s.effectOption2, 3);
}

TEST(Exchange, ReadCommandAnswerAndLostAnswer) {
    for (const bool scrambled : {false, true}) {
        EmulatedLink e;
        if (scrambled) {
            e.connect();
        }
        CommandPacket p = makePacket(0x83);
        e.link.exchange(p);
        EXPECT_EQ(p, makePacket(0x83, {0x01, 0x02, 0x2A, 0x15}));

        e.mouse.dropAnswers(1);
        p = makePacket(0x83);
        e.link.exchange(p);
        CommandPacket lost{};
        if (scrambled) {
            unscramble(lost, firmwareScrambleKeys());
        }
        EXPECT_EQ(p, lost) << "scrambled " << scrambled;
    }
}

// Block reads of announced lengths into buffers smaller than the payload.
TEST(BlockTransfer, ReadsAnnouncedChunksNeverPastTheBuffer) {
    struct Case {
        std::uint8_t announced;
        std::size_t capacity;
        std::size_t chunks;
    };
    const Case cases[] = {
        {0, 16, 0}, {24, 16, 1}, {64, 40, 2}, {128, 100, 4}, {200, 128, 7}, {200, 0, 7},
    };
    for (const auto& c : cases) {
        EmulatedLink e;
        e.mouse.announceLength(0x93, c.announced);
        const std::size_t guard = 16;
        std::vector<std::uint8_t> buffer(c.capacity + guard, 0x5A);
        CommandPacket header = makePacket(0x93, {5});
        e.link.blockTransfer(header, std::span(buffer).first(c.capacity));
        EXPECT_EQ(header[1], 5);
        EXPECT_EQ(header[2], c.announced);
        const std::string trace = e.takeTrace();
        std::size_t reads = 0;
        for (std::size_t at = trace.find("\nread "); at != std::string::npos;
             at = trace.find("\nread ", at + 1)) {
            ++reads;
        }
        EXPECT_EQ(reads, c.chunks) << int{c.announced};
        const auto slot = factoryMouseState().macroSlots[4];
        for (std::size_t i = 0; i < c.capacity; ++i) {
            const std::uint8_t expected =
                i < c.announced ? (i < slot.size() ? slot[i] : 0xEE) : 0x5A;
            ASSERT_EQ(buffer[i], expected) << int{c.announced} << " at " << i;
        }
        for (std::size_t i = c.capacity; i < buffer.size(); ++i) {
            ASSERT_EQ(buffer[i], 0x5A) << "written past the buffer at " << i;
        }
    }
}

TEST(BlockTransfer, WriteSendsHeaderThenChunksWithPauses) {
    EmulatedLink e;
    e.connect();
    std::vector<std::uint8_t> matrix(64);
    for (std::size_t i = 0; i < matrix.size(); ++i) {
        matrix[i] = static_cast<std::uint8_t>(i + 1);
    }
    CommandPacket header = makePacket(0x12, {0x01, 0x40}); // checksum 0xac
    e.link.blockTransfer(header, matrix);
    EXPECT_EQ(e.takeTrace(),
              "set_feature 12 01 40 00 00 00 00 ac\n"
              "write 01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f 10 11 12 13 14 15 16 17 18 "
              "19 1a 1b 1c 1d 1e 1f 20\n"
              "sleep 3\n"
              "write 21 22 23 24 25 26 27 28 29 2a 2b 2c 2d 2e 2f 30 31 32 33 34 35 36 37 38 "
              "39 3a 3b 3c 3d 3e 3f 40\n"
              "sleep 3\n");
    EXPECT_TRUE(std::equal(matrix.begin(), matrix.end(), e.mouse.state().keyMatrices[0].begin()));
}

TEST(BlockTransfer, ShortAndEmptyWrites) {
    EmulatedLink e;
    e.connect();
    // 24 bytes: one chunk whose last 8 bytes come from the caller's zero-filled buffer.
    std::vector<std::uint8_t> block(32, 0);
    for (std::size_t i = 0; i < 24; ++i) {
        block[i] = 0x70;
    }
    CommandPacket header = makePacket(0x10, {0, 24});
    e.link.blockTransfer(header, block);
    const std::string trace = e.takeTrace();
    EXPECT_NE(trace.find("write 70 70 70 70 70 70 70 70 70 70 70 70 70 70 70 70 70 70 70 70 70 "
                         "70 70 70 00 00 00 00 00 00 00 00\nsleep 3\n"),
              std::string::npos)
        << trace;
    EXPECT_EQ(e.mouse.state().configBlock0[23], 0x70);

    // Length 0: the header only.
    header = makePacket(0x13, {1, 0});
    e.link.blockTransfer(header, {});
    EXPECT_EQ(e.takeTrace(), "set_feature 13 01 00 00 00 00 00 eb\n");

    // A buffer shorter than the announced payload is padded with zeros, not over-read.
    std::vector<std::uint8_t> small(10, 0x33);
    header = makePacket(0x11, {4, 8});
    e.link.blockTransfer(header, std::span(small).first(4));
    EXPECT_EQ(e.takeTrace(), "set_feature 11 04 08 00 00 00 00 e2\n"
                             "write 33 33 33 33 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
                             "00 00 00 00 00 00 00 00 00 00 00\n"
                             "sleep 3\n");
    EXPECT_EQ(e.mouse.state().dpiStageCodes, (std::array<std::uint8_t, 8>{0x33, 0x33, 0x33, 0x33}));
}

TEST(BlockTransfer, ReportLengthsComeFromTheLinkAndAreClampedToTheBuffers) {
    struct Lengths final : HidCommandPort {
        std::vector<std::string> calls;
        TransferResult setFeature(std::span<const std::uint8_t> r, PacketCoding,
                                  std::chrono::milliseconds) override {
            calls.push_back("set " + std::to_string(r.size()));
            return TransferResult::ok;
        }
        TransferResult getFeature(std::span<std::uint8_t> r, PacketCoding,
                                  std::chrono::milliseconds) override {
            calls.push_back("get " + std::to_string(r.size()));
            r[1] = 0x90;
            if (r.size() > 3) {
                r[3] = 40; // two chunks
            }
            return TransferResult::ok;
        }
        TransferResult writeReport(std::span<const std::uint8_t> r,
                                   std::chrono::milliseconds) override {
            calls.push_back("write " + std::to_string(r.size()));
            return TransferResult::ok;
        }
        void flushInput() override {}
        ReadResult readReport(std::span<std::uint8_t> r, std::chrono::milliseconds) override {
            calls.push_back("read " + std::to_string(r.size()));
            return ReadResult::ok;
        }
    } port;
    NullPacer pacer;
    test::RecordingEventSink sink;
    DeviceLink link(port, pacer, sink);
    link.setReportLengths(ReportLengths{200, 65, 17});
    std::array<std::uint8_t, 64> payload{};
    CommandPacket read = makePacket(0x90, {0});
    link.blockTransfer(read, payload);
    CommandPacket write = makePacket(0x10, {0, 24});
    link.blockTransfer(write, payload);
    EXPECT_EQ(port.calls, (std::vector<std::string>{"set 16", "get 16", "read 40", "read 40",
                                                    "set 16", "write 17"}));
}

TEST(BlockTransfer, StalledChunkEndsTheReadAfterTheTimeOut) {
    EmulatedLink e;
    e.link.chunkReadTimeout = std::chrono::milliseconds(100);
    e.mouse.stallChunk(1);
    std::array<std::uint8_t, 128> slot{};
    CommandPacket header = makePacket(0x93, {2});
    const auto start = std::chrono::steady_clock::now();
    e.link.blockTransfer(header, slot);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(90));
    EXPECT_LT(took, std::chrono::milliseconds(1000));
    const auto expected = factoryMouseState().macroSlots[1];
    EXPECT_TRUE(std::equal(slot.begin(), slot.begin() + 32, expected.begin()));
    EXPECT_TRUE(std::all_of(slot.begin() + 32, slot.end(), [](std::uint8_t b) { return b == 0; }));
    // One read timed out; nothing further was asked of the mouse, and what it still had queued
    // was dropped.
    const std::string trace = e.takeTrace();
    EXPECT_TRUE(trace.ends_with("\n# read timed out\nflush\n")) << trace;
}

TEST(BlockTransfer, ReportsQueuedBeforeAReadDoNotShiftItsChunks) {
    const std::array<std::uint8_t, 32> stray{0xAB, 0xCD};
    const struct {
        const char* name;
        std::function<void(EmulatedLink&)> before;
    } cases[] = {
        {"late chunks of a read that timed out",
         [](EmulatedLink& e) {
             e.mouse.stallChunk(1);
             std::array<std::uint8_t, 128> slot{};
             CommandPacket header = makePacket(0x93, {2});
             e.link.blockTransfer(header, slot);
         }},
        {"a report the mouse sent unasked",
         [&](EmulatedLink& e) { e.mouse.sendUnaskedReport(stray); }},
        {"more reports than the system queues",
         [&](EmulatedLink& e) {
             for (std::size_t i = 0; i < kHostInputQueueLength + 5; ++i) {
                 e.mouse.sendUnaskedReport(stray);
             }
         }},
    };
    for (const auto& c : cases) {
        EmulatedLink e;
        e.link.chunkReadTimeout = std::chrono::milliseconds(30);
        c.before(e);
        e.link.beginSequence();
        std::array<std::uint8_t, 128> slot{};
        CommandPacket header = makePacket(0x93, {3});
        e.link.blockTransfer(header, slot);
        const auto expected = factoryMouseState().macroSlots[2];
        EXPECT_TRUE(std::equal(slot.begin(), slot.end(), expected.begin())) << c.name;
        EXPECT_EQ(e.mouse.queuedInputReports(), 0u) << c.name;
    }
}

TEST(BlockTransfer, AMouseThatStopsTakingReportsCostsOneTimeOutPerSequence) {
    using namespace std::chrono;
    const struct {
        const char* name;
        std::function<void(DeviceLink&)> call;
        milliseconds atMost; // the waits it may take, at 50 ms each
    } cases[] = {
        {"write command",
         [](DeviceLink& l) {
             CommandPacket p = makePacket(0x0D, {1, 2, 3});
             l.exchange(p);
         },
         milliseconds(50)},
        {"read command",
         [](DeviceLink& l) {
             CommandPacket p = makePacket(0x83);
             l.exchange(p);
         },
         milliseconds(50)},
        {"block write: header and the first chunk",
         [](DeviceLink& l) {
             std::array<std::uint8_t, 128> slot{};
             CommandPacket p = makePacket(0x13, {1, 128});
             l.blockTransfer(p, slot);
         },
         milliseconds(50)},
        {"block read",
         [](DeviceLink& l) {
             std::array<std::uint8_t, 128> slot{};
             CommandPacket p = makePacket(0x93, {1});
             l.blockTransfer(p, slot);
         },
         milliseconds(50)},
    };
    for (const auto& c : cases) {
        EmulatedLink e;
        e.connect();
        e.link.transferTimeout = milliseconds(50);
        e.link.chunkReadTimeout = milliseconds(50);
        e.mouse.setRefusingReports(true);
        const auto start = steady_clock::now();
        c.call(e.link);
        const auto took = steady_clock::now() - start;
        EXPECT_GE(took, milliseconds(45)) << c.name;
        EXPECT_LT(took, c.atMost + milliseconds(400)) << c.name;
        // The rest of the sequence sends nothing and waits for nothing.
        e.mouse.setRefusingReports(false);
        EXPECT_TRUE(e.link.stalled()) << c.name;
        const std::size_t sent = e.takeTrace().size();
        CommandPacket skipped = makePacket(0x0D, {7, 8, 9});
        EXPECT_EQ(e.link.exchange(skipped), TransferResult::timedOut) << c.name;
        EXPECT_EQ(e.takeTrace().size(), 0u) << c.name << " after " << sent;
        // The next sequence asks the mouse again.
        e.link.beginSequence();
        CommandPacket effect = makePacket(0x0D, {4, 5, 6});
        EXPECT_EQ(e.link.exchange(effect), TransferResult::ok) << c.name;
        EXPECT_EQ(e.mouse.state().effect, 4) << c.name;
    }
}

TEST(BlockTransfer, MouseVanishingMidReadEndsWithinTheTimeOut) {
    EmulatedLink e; // default time-out of one second
    std::array<std::uint8_t, 128> slot{};
    slot.fill(0x11);
    CommandPacket header = makePacket(0x93, {3});
    // Transfers: the header write, the answer read, chunk 1, then the mouse vanishes at chunk 2.
    e.mouse.vanishAtTransfer(4);
    const auto start = std::chrono::steady_clock::now();
    e.link.blockTransfer(header, slot);
    EXPECT_LT(std::chrono::steady_clock::now() - start, kDefaultChunkReadTimeout);
    EXPECT_FALSE(e.mouse.present());
    const auto expected = factoryMouseState().macroSlots[2];
    EXPECT_TRUE(std::equal(slot.begin(), slot.begin() + 32, expected.begin()));
    EXPECT_TRUE(std::all_of(slot.begin() + 32, slot.end(), [](std::uint8_t b) { return b == 0; }));
}

TEST(BlockTransfer, UnplugDuringAStalledReadWakesIt) {
    EmulatedLink e; // one second time-out
    e.mouse.stallChunk(0);
    std::array<std::uint8_t, 32> block{};
    CommandPacket header = makePacket(0x90, {0});
    std::thread puller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        e.mouse.unplug();
    });
    const auto start = std::chrono::steady_clock::now();
    e.link.blockTransfer(header, block);
    const auto took = std::chrono::steady_clock::now() - start;
    puller.join();
    EXPECT_LT(took, std::chrono::milliseconds(900));
}

} // namespace
} // namespace qor
