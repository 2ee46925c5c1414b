#include "emulator/emulated_hid_system.h"
#include "emulator/mouse_emulator.h"

#include "device/device_fakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <set>

namespace qor {
namespace {

using test::EmulatedLink;

constexpr std::chrono::milliseconds kWait{1000};

TEST(FactoryState, PassThroughBytesAreDistinctiveAndNonZero) {
    const MouseState s = factoryMouseState();
    EXPECT_EQ(s.sensorType, 1);
    EXPECT_EQ(s.option2 & 0x40, 0) << "bit 6 must be clear so that the program's setting shows";
    std::vector<std::uint8_t> passThrough{s.rate,   s.option1,       s.option2,
                                          s.effect, s.effectOption1, s.effectOption2};
    for (const auto& set : s.ledParams) {
        passThrough.insert(passThrough.end(), set.begin(), set.end());
    }
    passThrough.insert(passThrough.end(), s.configBlock0.begin(), s.configBlock0.end());
    passThrough.insert(passThrough.end(), s.configBlock2.begin(), s.configBlock2.end());
    for (std::uint8_t b : passThrough) {
        EXPECT_NE(b, 0);
    }
    // Block 1's tail is not passed through (the program zeroes it) but must not start zero.
    for (std::size_t i = 12; i < s.configBlock1.size(); ++i) {
        EXPECT_NE(s.configBlock1[i], 0);
    }
    // No two bytes share a value, so a byte moved to the wrong place shows.
    EXPECT_EQ(std::set<std::uint8_t>(passThrough.begin(), passThrough.end()).size(),
              passThrough.size());
    // Macro slots differ from each other.
    for (std::size_t n = 1; n < s.macroSlots.size(); ++n) {
        EXPECT_NE(s.macroSlots[n], s.macroSlots[n - 1]);
    }
}

TEST(Emulator, AnswersTheReadCommands) {
    for (const bool scrambled : {false, true}) {
        EmulatedLink e;
        if (scrambled) {
            e.connect();
        }
        const MouseState s = factoryMouseState();
        const struct {
            CommandPacket request;
            CommandPacket answer;
        } cases[] = {
            {makePacket(0x83), makePacket(0x83, {s.sensorType, s.rate, s.option1, s.option2})},
            {makePacket(0x87, {0}), makePacket(0x87, {0, 0x31, 0x32, 0x33})},
            {makePacket(0x87, {1, 9, 9, 9, 9, 9}), makePacket(0x87, {1, 0x41, 0x42, 0x43})},
            {makePacket(0x87, {2}), makePacket(0x87, {2})},
            {makePacket(0x8D), makePacket(0x8D, {s.effect, s.effectOption1, s.effectOption2})},
        };
        for (const auto& c : cases) {
            CommandPacket p = c.request;
            e.link.exchange(p);
            EXPECT_EQ(p, c.answer) << "scrambled " << scrambled << " code " << int{p[0]};
        }
        // Block reads.
        const struct {
            std::uint8_t code, index, length;
            std::span<const std::uint8_t> data;
        } blocks[] = {
            {0x90, 0, 24, s.configBlock0},
            {0x90, 1, 24, s.configBlock1},
            {0x90, 2, 4, s.configBlock2},
            {0x90, 3, 0, {}},
            {0x93, 1, 128, s.macroSlots[0]},
            {0x93, 12, 128, s.macroSlots[11]},
            {0x93, 0, 0, {}},
            {0x93, 13, 0, {}},
        };
        for (const auto& b : blocks) {
            std::array<std::uint8_t, 128> payload{};
            CommandPacket header = makePacket(b.code, {b.index});
            e.link.blockTransfer(header, payload);
            EXPECT_EQ(header, makePacket(b.code, {b.index, b.length}));
            EXPECT_TRUE(std::equal(b.data.begin(), b.data.end(), payload.begin()));
            EXPECT_TRUE(std::all_of(payload.begin() + b.data.size(), payload.end(),
                                    [](std::uint8_t x) { return x == 0; }));
        }
    }
}

TEST(Emulator, StoresWhatTheWriteCommandsCarry) {
    EmulatedLink e;
    e.connect();
    MouseState expected = factoryMouseState();
    auto send = [&](CommandPacket p) { e.link.exchange(p); };
    auto block = [&](std::uint8_t code, std::uint8_t index, std::uint8_t length,
                     std::uint8_t fill) {
        std::vector<std::uint8_t> payload(length, fill);
        CommandPacket header = makePacket(code, {index, length});
        e.link.blockTransfer(header, payload);
    };
    send(makePacket(0x03, {1, 2, 3, 4}));
    expected.sensorType = 1;
    expected.rate = 2;
    expected.option1 = 3;
    expected.option2 = 4;
    send(makePacket(0x07, {1, 7, 8, 9}));
    expected.ledParams[1] = {7, 8, 9};
    send(makePacket(0x07, {2, 7, 8, 9})); // no such set
    send(makePacket(0x0D, {3, 10, 2}));
    expected.effect = 3;
    expected.effectOption1 = 10;
    expected.effectOption2 = 2;
    block(0x10, 2, 4, 0x66);
    expected.configBlock2.fill(0x66);
    block(0x10, 5, 24, 0x67); // no such block
    block(0x11, 4, 8, 0x85);
    expected.dpiStageCodes.fill(0x85);
    block(0x12, 4, 64, 0x12);
    expected.keyMatrices[3].fill(0x12);
    block(0x13, 12, 128, 0x13);
    expected.macroSlots[11].fill(0x13);
    block(0x13, 13, 128, 0x14); // no such slot
    EXPECT_EQ(e.mouse.state(), expected);
    EXPECT_EQ(e.mouse.rejectedPackets(), 0u);
}

TEST(Emulator, IgnoresBadPacketsAndWrongLengths) {
    MouseEmulator mouse;
    HidCommandPort& port = mouse.commandPort();
    // Wrong checksum: ignored.
    std::array<std::uint8_t, 9> report{0, 0x03, 9, 9, 9, 9, 0, 0, 0x00};
    EXPECT_EQ(port.setFeature(report, PacketCoding::plain, kWait), TransferResult::ok);
    EXPECT_EQ(mouse.rejectedPackets(), 1u);
    EXPECT_EQ(mouse.state(), factoryMouseState());
    // Lengths other than the collection's fail, as on Windows.
    std::array<std::uint8_t, 16> longReport{};
    EXPECT_NE(port.setFeature(std::span(longReport).first(8), PacketCoding::plain, kWait),
              TransferResult::ok);
    EXPECT_NE(port.getFeature(std::span(longReport), PacketCoding::plain, kWait),
              TransferResult::ok);
    std::array<std::uint8_t, 40> chunk{};
    EXPECT_EQ(port.writeReport(std::span(chunk).first(32), kWait), TransferResult::failed);
    EXPECT_EQ(port.readReport(std::span(chunk).first(32), std::chrono::milliseconds(0)),
              ReadResult::failed);
    EXPECT_EQ(port.readReport(std::span(chunk).first(33), std::chrono::milliseconds(0)),
              ReadResult::timedOut); // nothing announced
}

TEST(Emulator, UnfinishedBlockWriteIsDiscardedByTheNextCommand) {
    MouseEmulator mouse;
    HidCommandPort& port = mouse.commandPort();
    const CommandPacket header = makePacket(0x12, {1, 64});
    std::array<std::uint8_t, 9> feature{};
    std::copy(header.begin(), header.end(), feature.begin() + 1);
    ASSERT_EQ(port.setFeature(feature, PacketCoding::plain, kWait), TransferResult::ok);
    std::array<std::uint8_t, 33> chunk{};
    chunk.fill(0x77);
    chunk[0] = 0;
    ASSERT_EQ(port.writeReport(chunk, kWait), TransferResult::ok); // one of two chunks
    const CommandPacket other = makePacket(0x83);
    std::copy(other.begin(), other.end(), feature.begin() + 1);
    ASSERT_EQ(port.setFeature(feature, PacketCoding::plain, kWait), TransferResult::ok);
    ASSERT_EQ(port.writeReport(chunk, kWait), TransferResult::ok);
    EXPECT_EQ(mouse.state().keyMatrices[0], factoryMouseState().keyMatrices[0]);
}

TEST(Emulator, WrongAnnouncedLengthFillsBeyondTheBlock) {
    EmulatedLink e;
    e.mouse.announceLength(0x90, 40);
    std::array<std::uint8_t, 64> payload{};
    CommandPacket header = makePacket(0x90, {2});
    e.link.blockTransfer(header, payload);
    EXPECT_EQ(header[2], 40);
    EXPECT_TRUE(
        std::equal(payload.begin(), payload.begin() + 4, factoryMouseState().configBlock2.begin()));
    EXPECT_TRUE(std::all_of(payload.begin() + 4, payload.begin() + 40,
                            [](std::uint8_t b) { return b == 0xEE; }));
    EXPECT_TRUE(
        std::all_of(payload.begin() + 40, payload.end(), [](std::uint8_t b) { return b == 0; }));
    // The fault applies once.
    header = makePacket(0x90, {2});
    e.link.blockTransfer(header, payload);
    EXPECT_EQ(header[2], 4);
}

TEST(Emulator, VanishesAtTheNthTransferAndComesBack) {
    EmulatedLink e;
    e.mouse.vanishAtTransfer(3);
    CommandPacket p = makePacket(0x83);
    e.link.exchange(p); // transfers 1 and 2
    EXPECT_EQ(p[1], 1);
    EXPECT_TRUE(e.mouse.present());
    p = makePacket(0x03, {9, 9, 9, 9});
    EXPECT_NE(e.link.exchange(p), TransferResult::ok); // transfer 3: gone
    EXPECT_FALSE(e.mouse.present());
    EXPECT_EQ(e.mouse.state(), factoryMouseState());
    e.mouse.plugIn();
    EXPECT_EQ(e.link.exchange(p), TransferResult::ok); // plain again after a restart
    EXPECT_EQ(e.mouse.state().rate, 9);
}

TEST(Emulator, TransferLatencyIsApplied) {
    EmulatedLink e;
    e.mouse.setTransferLatency(std::chrono::milliseconds(5));
    const auto start = std::chrono::steady_clock::now();
    CommandPacket p = makePacket(0x83);
    e.link.exchange(p);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(10));
    EXPECT_EQ(e.mouse.transferCount(), 2u);
}

// The event collection's read ends the way the system's does. A wake-up that is not a
// completion (discovery signals after each open) ends a pending read with nothing, as the Win32
// port cancels it and hidraw returns 0, so finishRead never waits for a report that may never
// come; the report sent afterwards waits for the next read.
TEST(Emulator, AnEventReadWokenBeforeAReportEndsEmpty) {
    MouseEmulator mouse;
    HidEventPort& port = mouse.eventPort();
    mouse.setEventCollectionOpen(true);
    std::array<std::uint8_t, kEmulatedEventLength> buffer{};

    port.resetSignal();
    ASSERT_TRUE(port.beginRead(buffer));
    EXPECT_EQ(mouse.eventReads().begun, 1u);
    EXPECT_TRUE(mouse.eventReads().pending);
    port.signal();
    EXPECT_FALSE(mouse.eventReads().pending);
    port.waitSignal();
    EXPECT_EQ(port.finishRead(), 0u);
    EXPECT_EQ(buffer, (std::array<std::uint8_t, kEmulatedEventLength>{}));

    mouse.emitEvent(7, 2);
    EXPECT_EQ(buffer, (std::array<std::uint8_t, kEmulatedEventLength>{})) << "no read was pending";
    port.resetSignal();
    ASSERT_TRUE(port.beginRead(buffer));
    port.waitSignal();
    EXPECT_EQ(port.finishRead(), kEmulatedEventLength);
    EXPECT_EQ(buffer[0], 6);
    EXPECT_EQ(buffer[1], 7);
    EXPECT_EQ(buffer[3], 2);

    // finishRead on a read still pending ends it with nothing instead of waiting.
    ASSERT_TRUE(port.beginRead(buffer));
    EXPECT_EQ(port.finishRead(), 0u);
    EXPECT_FALSE(mouse.eventReads().pending);
    EXPECT_EQ(mouse.eventReads().begun, 3u);
}

TEST(EmulatedHidSystem, PresentsTheMouseCollectionsWhilePlugged) {
    MouseEmulator mouse;
    EmulatedHidSystem hid(mouse);
    auto count = [&] {
        EXPECT_TRUE(hid.beginScan());
        std::uint32_t n = 0;
        std::u16string path;
        HidAttributes attributes;
        while (hid.describe(n, path, attributes) == InterfaceStatus::ok) {
            EXPECT_EQ(path, [&] {
                std::u16string lower = path;
                for (auto& c : lower) {
                    if (c >= u'A' && c <= u'Z') {
                        c = static_cast<char16_t>(c - u'A' + u'a');
                    }
                }
                return lower;
            }()) << "SetupDi paths are lower case";
            ++n;
        }
        hid.endScan();
        return n;
    };
    EXPECT_EQ(count(), 5u);
    mouse.unplug();
    EXPECT_EQ(count(), 1u);
    EXPECT_FALSE(hid.openCommand(emulatedMouseInterfaces()[3].path));
    mouse.plugIn();
    EXPECT_TRUE(hid.openCommand(emulatedMouseInterfaces()[3].path));
}

} // namespace
} // namespace qor
