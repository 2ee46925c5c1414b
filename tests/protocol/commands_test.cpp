#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <type_traits>

#include "emulator/mouse_emulator.h"
#include "protocol/commands.h"

namespace {

using namespace qor;

// A mouse that answers from a script: feature answers and input chunks in order.
class ScriptedPort final : public HidCommandPort {
public:
    TransferResult setFeature(std::span<const std::uint8_t> report, PacketCoding,
                              std::chrono::milliseconds) override {
        CommandPacket p{};
        std::copy_n(report.begin() + 1, 8, p.begin());
        sent.push_back(p);
        return TransferResult::ok;
    }
    TransferResult getFeature(std::span<std::uint8_t> report, PacketCoding,
                              std::chrono::milliseconds) override {
        if (answers.empty()) {
            return TransferResult::failed;
        }
        std::copy(answers.front().begin(), answers.front().end(), report.begin() + 1);
        answers.pop_front();
        return TransferResult::ok;
    }
    TransferResult writeReport(std::span<const std::uint8_t>, std::chrono::milliseconds) override {
        return TransferResult::ok;
    }
    void flushInput() override {}
    ReadResult readReport(std::span<std::uint8_t> report, std::chrono::milliseconds) override {
        if (chunks.empty()) {
            return ReadResult::timedOut;
        }
        std::fill(report.begin(), report.end(), 0);
        std::fill_n(report.begin() + 1, 32, chunks.front());
        chunks.pop_front();
        return ReadResult::ok;
    }

    void answer(std::initializer_list<std::uint8_t> bytes) {
        CommandPacket p{};
        std::copy(bytes.begin(), bytes.end(), p.begin());
        sealPacket(p);
        answers.push_back(p);
    }
    void chunk(std::uint8_t fill, unsigned count = 1) { chunks.insert(chunks.end(), count, fill); }

    std::vector<CommandPacket> sent;
    std::deque<CommandPacket> answers;
    std::deque<std::uint8_t> chunks; // each chunk is 32 copies of one byte
};

class NoSink final : public DeviceEventSink {
public:
    void deliver(DeviceEventCode, std::uint32_t) override {}
};

class CountingPacer final : public Pacer {
public:
    void pause(unsigned ms) override { total += ms; }
    unsigned total = 0;
};

struct Bench {
    Bench() {
        link.setReportLengths({9, 33, 33});
        link.chunkReadTimeout = std::chrono::milliseconds(1);
    }
    ScriptedPort port;
    CountingPacer pacer;
    NoSink sink;
    DeviceLink link{port, pacer, sink};
    DeviceMirror mirror;
    DeviceCommands commands{link, pacer, mirror};
};

bool all(std::span<const std::uint8_t> bytes, std::uint8_t value) {
    return std::all_of(bytes.begin(), bytes.end(), [&](auto b) { return b == value; });
}

TEST(CommandsTest, ConfigBlockAnswersGoWhereTheyPointAndNoFurther) {
    Bench b;
    b.mirror.configBlock0.fill(0xAA);
    b.mirror.configBlock1.fill(0xAA);
    b.mirror.configBlock2.fill(0xAA);
    b.port.answer({0x90, 3, 24}); // an unknown block: read, then dropped
    b.port.chunk(0x77);
    b.port.answer({0x90, 1, 24});
    b.port.chunk(0x55);
    b.port.answer({0x90, 2, 40}); // more than block 2 holds
    b.port.chunk(0x66, 2);
    b.commands.readConfigBlocks();
    EXPECT_TRUE(all(b.mirror.configBlock0, 0xAA));
    EXPECT_TRUE(all(b.mirror.configBlock1, 0x55));
    EXPECT_TRUE(all(b.mirror.configBlock2, 0x66));
    EXPECT_TRUE(b.port.chunks.empty()); // every announced chunk was taken
    EXPECT_EQ(b.pacer.total, 6u);
    ASSERT_EQ(b.port.sent.size(), 3u);
    for (std::uint8_t i = 0; i < 3; ++i) {
        EXPECT_EQ(b.port.sent[i][0], 0x90);
        EXPECT_EQ(b.port.sent[i][1], i);
    }
}

// The emulated mouse, made to announce `length` bytes when block 2 is asked for. Nothing
// handshakes, so the packets pass in plain and the request and the answer can be read here.
class LongBlockTwoPort final : public HidCommandPort {
public:
    LongBlockTwoPort(MouseEmulator& mouse, std::uint8_t length) : mouse_(mouse), length_(length) {}

    TransferResult setFeature(std::span<const std::uint8_t> report, PacketCoding coding,
                              std::chrono::milliseconds timeout) override {
        if (isBlockTwo(report)) {
            mouse_.announceLength(command::kReadConfigBlock, length_);
        }
        return mouse_.commandPort().setFeature(report, coding, timeout);
    }
    TransferResult getFeature(std::span<std::uint8_t> report, PacketCoding coding,
                              std::chrono::milliseconds timeout) override {
        const TransferResult result = mouse_.commandPort().getFeature(report, coding, timeout);
        if (result == TransferResult::ok && isBlockTwo(report)) {
            announced = report[3];
        }
        return result;
    }
    TransferResult writeReport(std::span<const std::uint8_t> report,
                               std::chrono::milliseconds timeout) override {
        return mouse_.commandPort().writeReport(report, timeout);
    }
    void flushInput() override { mouse_.commandPort().flushInput(); }
    ReadResult readReport(std::span<std::uint8_t> report,
                          std::chrono::milliseconds timeout) override {
        return mouse_.commandPort().readReport(report, timeout);
    }

    // The length the mouse's block-2 answer announced.
    int announced = -1;

private:
    // Byte 0 is the report ID; the packet follows.
    static bool isBlockTwo(std::span<const std::uint8_t> report) {
        return report[1] == command::kReadConfigBlock && report[2] == 2;
    }

    MouseEmulator& mouse_;
    std::uint8_t length_;
};

TEST(CommandsTest, LongBlockTwoAnswerLeavesTheFieldsAfterTheBlockAlone) {
    // Block 2 sits right before the mirror's other fields, so a read that keeps more than the
    // block's four bytes overwrites the sensor settings, lighting and the rest.
    static_assert(std::is_trivially_copyable_v<DeviceMirror>);
    constexpr std::uint8_t kSentinel = 0x5C; // neither the mouse's bytes nor its 0xee filler
    const struct {
        std::uint8_t announced;
        const char* what;
    } cases[] = {
        {5, "one byte more"},
        {32, "one whole chunk"},
        {33, "into a second chunk"},
        {255, "the most an answer can announce"},
    };
    const MouseState factory = factoryMouseState();
    for (const auto& c : cases) {
        MouseEmulator mouse;
        LongBlockTwoPort port{mouse, c.announced};
        CountingPacer pacer;
        NoSink sink;
        DeviceLink link{port, pacer, sink};
        link.setReportLengths({kEmulatedFeatureLength, kEmulatedChunkLength, kEmulatedChunkLength});
        DeviceMirror mirror;
        // Trivially copyable (asserted above), so its bytes may be set and read as bytes.
        std::memset(static_cast<void*>(&mirror), kSentinel, sizeof mirror);
        DeviceCommands commands{link, pacer, mirror};

        commands.readConfigBlocks();

        ASSERT_EQ(port.announced, c.announced) << c.what;
        EXPECT_EQ(mirror.configBlock0, factory.configBlock0) << c.what;
        EXPECT_EQ(mirror.configBlock1, factory.configBlock1) << c.what;
        EXPECT_EQ(mirror.configBlock2, factory.configBlock2) << c.what;
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(&mirror);
        const auto* after = mirror.configBlock2.data() + mirror.configBlock2.size();
        for (const auto* b = after; b < bytes + sizeof mirror; ++b) {
            ASSERT_EQ(*b, kSentinel) << c.what << ": byte " << (b - after) << " after block 2";
        }
    }
}

TEST(CommandsTest, MacroAnswerOfTwoHundredBytesFillsOnlyItsSlot) {
    Bench b;
    b.mirror.macroSlotBytes.fill(0xAA);
    for (std::uint8_t n = 1; n <= 12; ++n) {
        if (n == 5) {
            b.port.answer({0x93, 5, 200});
            b.port.chunk(0xAB, 7);
        } else if (n == 7) {
            b.port.answer({0x93, 13, 32}); // a slot the mouse does not have
            b.port.chunk(0xCD);
        } else {
            b.port.answer({0x93, n, 0});
        }
    }
    b.commands.readMacroSlots();
    for (std::size_t n = 1; n <= 12; ++n) {
        EXPECT_TRUE(all(b.mirror.macroSlot(n), n == 5 ? 0xAB : 0xAA)) << "slot " << n;
    }
    EXPECT_EQ(b.pacer.total, 24u);
}

TEST(CommandsTest, LightingParameterAnswersByIndex) {
    Bench b;
    b.port.answer({0x87, 0, 1, 2, 3, 4, 5});
    b.port.answer({0x87, 7, 9, 9, 9}); // an index the program does not keep
    b.commands.readLightingParams();
    EXPECT_EQ(b.mirror.lighting.ledParams[0], (std::array<std::uint8_t, 3>{1, 2, 3}));
    EXPECT_EQ(b.mirror.lighting.ledParams[1], (std::array<std::uint8_t, 3>{0, 0, 0}));
    ASSERT_EQ(b.port.sent.size(), 2u);
    // The second request: index 1, the first answer's bytes 2..6, a checksum over them.
    const CommandPacket second = b.port.sent[1];
    EXPECT_EQ(second[0], 0x87);
    EXPECT_EQ(second[1], 1);
    EXPECT_EQ((std::array<std::uint8_t, 5>{second[2], second[3], second[4], second[5], second[6]}),
              (std::array<std::uint8_t, 5>{1, 2, 3, 4, 5}));
    EXPECT_EQ(packetChecksum(second), second[7]);
    EXPECT_EQ(b.pacer.total, 4u);
}

// An answer that is lost or does not check out leaves the mirror as it was and reads as unknown,
// so that nothing of it is written back.
TEST(CommandsTest, OnlyAnswersThatCheckOutFillTheImage) {
    using Fill = std::function<void(ScriptedPort&)>;
    const auto sealed = [](CommandPacket p) {
        sealPacket(p);
        return Fill([p](ScriptedPort& port) { port.answers.push_back(p); });
    };
    const auto badChecksum = [](CommandPacket p) {
        sealPacket(p);
        p[kChecksumByte] ^= 1;
        return Fill([p](ScriptedPort& port) { port.answers.push_back(p); });
    };
    const Fill none = [](ScriptedPort&) {};
    const struct {
        const char* name;
        Fill fill;
        bool sensorKnown;
        std::uint8_t sensorType;
    } sensor[] = {
        {"answered", sealed({0x83, 3, 1, 0, 0x40}), true, 3},
        {"lost", none, false, 9},
        {"bad checksum", badChecksum({0x83, 3, 1, 0, 0x40}), false, 9},
        {"another command's answer", sealed({0x8D, 3, 1, 0, 0x40}), false, 9},
    };
    for (const auto& c : sensor) {
        Bench b;
        b.mirror.sensorType = 9;
        c.fill(b.port);
        EXPECT_EQ(b.commands.readSensorSettings(), c.sensorKnown) << c.name;
        EXPECT_EQ(b.mirror.sensorType, c.sensorType) << c.name;
    }

    const struct {
        const char* name;
        std::vector<Fill> fills;
        std::array<bool, 2> known;
    } params[] = {
        {"both", {sealed({0x87, 0, 1, 2, 3}), sealed({0x87, 1, 4, 5, 6})}, {true, true}},
        {"second lost", {sealed({0x87, 0, 1, 2, 3})}, {true, false}},
        {"wrong set", {sealed({0x87, 1, 1, 2, 3}), sealed({0x87, 1, 4, 5, 6})}, {false, true}},
    };
    for (const auto& c : params) {
        Bench b;
        b.mirror.lighting.ledParams = {{{9, 9, 9}, {9, 9, 9}}};
        for (const auto& fill : c.fills) {
            fill(b.port);
        }
        EXPECT_EQ(b.commands.readLightingParams(), c.known) << c.name;
        EXPECT_EQ(b.mirror.lighting.ledParams[0][0], c.known[0] ? 1 : 9) << c.name;
        EXPECT_EQ(b.mirror.lighting.ledParams[1][0], c.known[1] ? 4 : 9) << c.name;
    }

    const struct {
        const char* name;
        CommandPacket header;
        unsigned chunks;
        bool known;
    } blocks[] = {
        {"whole block 0", {0x90, 0, 24}, 1, true},
        {"longer than the block", {0x90, 0, 40}, 2, true},
        {"shorter than the block", {0x90, 0, 10}, 1, false},
        {"another block", {0x90, 2, 24}, 1, false},
    };
    for (const auto& c : blocks) {
        Bench b;
        b.mirror.configBlock0.fill(9);
        CommandPacket header = c.header;
        sealPacket(header);
        b.port.answers.push_back(header);
        b.port.chunk(0x11, c.chunks);
        // Blocks 1 and 2 are not answered at all.
        const auto known = b.commands.readConfigBlocks();
        EXPECT_EQ(known[0], c.known) << c.name;
        EXPECT_FALSE(known[1] || known[2]) << c.name;
        EXPECT_EQ(b.mirror.configBlock0[0], c.known ? 0x11 : 9) << c.name;
    }
}

TEST(CommandsTest, WritesCarryTheImage) {
    Bench b;
    b.mirror.sensorType = 1;
    b.mirror.rate = 2;
    b.mirror.option1 = 3;
    b.mirror.option2 = 0x44;
    b.mirror.lighting = {5, 6, 7, {{{8, 9, 10}, {11, 12, 13}}}};
    b.commands.writeSensorSettings();
    b.commands.writeLightingParams();
    b.commands.writeLightingEffect();
    ASSERT_EQ(b.port.sent.size(), 4u);
    const CommandPacket expected[] = {{0x03, 1, 2, 3, 0x44, 0, 0},
                                      {0x07, 0, 8, 9, 10, 0, 0},
                                      {0x07, 1, 11, 12, 13, 0, 0},
                                      {0x0D, 5, 6, 7, 0, 0, 0}};
    for (std::size_t i = 0; i < 4; ++i) {
        CommandPacket e = expected[i];
        sealPacket(e);
        EXPECT_EQ(b.port.sent[i], e) << i;
    }
    EXPECT_EQ(b.pacer.total, 4u);
}

TEST(CommandsTest, DiagnosticsAreFormattedForTheDebugChannel) {
    Bench b;
    std::vector<std::string> texts;
    DeviceCommands commands(b.link, b.pacer, b.mirror,
                            [&](std::string_view t) { texts.emplace_back(t); });
    b.port.answer({0x83, 0x01, 0x02, 0x2a, 0x15});
    commands.readSensorSettings();
    b.mirror.keyMatrices[0].words[15] = KeyBindingWord::fromValue(0x00F80001);
    commands.writeKeyMatrices();
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[0], "Sensor Type:01\n,,Rate:02\n,Option1:2a\n,Option2:15\n");
    EXPECT_TRUE(texts[1].starts_with("Write KeyMatrix[1]:\n00000000\n 00000000\n"));
    EXPECT_TRUE(texts[1].ends_with(" 00f80001\n"));
    EXPECT_TRUE(texts[4].starts_with("Write KeyMatrix[4]:\n"));
}

} // namespace
