#include "device/command_packet.h"
#include "device/scramble.h"

#include "firmware_keys.h"

#include <gtest/gtest.h>

#include <numeric>
#include <random>

namespace qor {
namespace {

unsigned sumOf(const CommandPacket& p) {
    return std::accumulate(p.begin(), p.end(), 0u) & 0xFFu;
}

TEST(CommandPacket, ChecksumMakesAllEightBytesSumToFF) {
    struct Case {
        CommandPacket packet;
        std::uint8_t checksum;
    };
    const Case cases[] = {
        {{0, 0, 0, 0, 0, 0, 0, 0x55}, 0xFF},
        {{0x83, 0, 0, 0, 0, 0, 0, 0}, 0x7C},
        {{0x8D, 0, 0, 0, 0, 0, 0, 0}, 0x72},
        {{0x12, 0x01, 0x40, 0, 0, 0, 0, 0}, 0xAC},
        {{0x13, 0x01, 0x80, 0, 0, 0, 0, 0}, 0x6B},
        {{0x11, 0x04, 0x08, 0, 0, 0, 0, 0}, 0xE2},
        {{0x10, 0x02, 0x04, 0, 0, 0, 0, 0}, 0xE9},
        {{0x00, 0xC6, 0x93, 0x2F, 0x71, 0, 0, 0}, 0x06},
        {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0}, 0x06},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(packetChecksum(c.packet), c.checksum);
        CommandPacket sealed = c.packet;
        sealPacket(sealed);
        EXPECT_EQ(sealed[7], c.checksum);
        EXPECT_EQ(sumOf(sealed), 0xFFu);
    }
}

TEST(CommandPacket, MakePacketFillsParametersAndIgnoresExtras) {
    EXPECT_EQ(makePacket(0x83), (CommandPacket{0x83, 0, 0, 0, 0, 0, 0, 0x7C}));
    EXPECT_EQ(makePacket(0x07, {1, 2, 3, 4}), (CommandPacket{0x07, 1, 2, 3, 4, 0, 0, 0xEE}));
    const CommandPacket full = makePacket(0x01, {1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_EQ(full[6], 6);
    EXPECT_EQ(sumOf(full), 0xFFu);
    EXPECT_TRUE(isReadCommand(0x83));
    EXPECT_FALSE(isReadCommand(0x03));
}

// The scrambling written a second way: the block as one 64-bit number, d0 most significant.
CommandPacket referenceScramble(CommandPacket d, const ScrambleKeys& k) {
    const CommandPacket swapped{d[5], d[4], d[7], d[6], d[1], d[0], d[3], d[2]};
    std::uint64_t block = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        std::uint8_t b = swapped[i];
        if (i >= 1 && i <= 6) {
            b ^= k.runKey[i];
        }
        block = (block << 8) | b;
    }
    block = (block << 3) | (block >> 61);
    for (std::size_t i = 0; i < 8; ++i) {
        const std::uint8_t key = k.fixedKey[i];
        const auto nibbleSwapped = static_cast<std::uint8_t>((key << 4) | (key >> 4));
        d[i] = static_cast<std::uint8_t>((block >> (56 - 8 * i)) + nibbleSwapped);
    }
    return d;
}

std::vector<CommandPacket> patternClasses() {
    std::vector<CommandPacket> patterns;
    patterns.push_back({});                                               // all zero
    patterns.push_back({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}); // all ones
    patterns.push_back({0, 1, 2, 3, 4, 5, 6, 7});                         // ascending
    patterns.push_back({0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55}); // alternating
    for (int bit = 0; bit < 64; ++bit) {                                  // each single bit
        CommandPacket p{};
        p[bit / 8] = static_cast<std::uint8_t>(1u << (bit % 8));
        patterns.push_back(p);
    }
    for (int byte = 0; byte < 8; ++byte) { // one byte at 0xFF, the rest clear
        CommandPacket p{};
        p[byte] = 0xFF;
        patterns.push_back(p);
    }
    patterns.push_back(makePacket(0x00, {0xC6, 0x93, 0x2F, 0x71})); // real packets
    patterns.push_back(makePacket(0x93, {5, 0x80}));
    std::mt19937 random(7);
    for (int i = 0; i < 200; ++i) {
        CommandPacket p;
        for (auto& b : p) {
            b = static_cast<std::uint8_t>(random());
        }
        patterns.push_back(p);
    }
    return patterns;
}

std::vector<ScrambleKeys> keyTables() {
    std::vector<ScrambleKeys> tables;
    tables.push_back({});
    tables.push_back(firmwareScrambleKeys());
    ScrambleKeys ones;
    ones.runKey.fill(0xFF);
    ones.fixedKey.fill(0xFF);
    tables.push_back(ones);
    std::mt19937 random(11);
    for (int i = 0; i < 5; ++i) {
        ScrambleKeys k;
        for (auto& b : k.runKey) {
            b = static_cast<std::uint8_t>(random());
        }
        for (auto& b : k.fixedKey) {
            b = static_cast<std::uint8_t>(random());
        }
        tables.push_back(k);
    }
    return tables;
}

TEST(Scramble, MatchesTheBlockArithmeticAndIsUndoneByUnscramble) {
    for (const ScrambleKeys& keys : keyTables()) {
        for (const CommandPacket& plain : patternClasses()) {
            CommandPacket p = plain;
            scramble(p, keys);
            EXPECT_EQ(p, referenceScramble(plain, keys));
            unscramble(p, keys);
            EXPECT_EQ(p, plain);
            // And the other way round.
            CommandPacket q = plain;
            unscramble(q, keys);
            scramble(q, keys);
            EXPECT_EQ(q, plain);
        }
    }
}

TEST(Scramble, UsesRunKeyOnlyForBytesOneToSix) {
    ScrambleKeys a = firmwareScrambleKeys();
    ScrambleKeys b = a;
    b.runKey[0] = 0x99;
    b.runKey[7] = 0x77;
    const CommandPacket plain = makePacket(0x83);
    CommandPacket pa = plain;
    CommandPacket pb = plain;
    scramble(pa, a);
    scramble(pb, b);
    EXPECT_EQ(pa, pb);
}

TEST(Scramble, FirmwareTablesComeFromTheBuildConfiguration) {
    const ScrambleKeys keys = firmwareScrambleKeys();
    EXPECT_EQ(keys.runKey[0], 0);
    EXPECT_EQ(keys.runKey[7], 0);
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(keys.runKey[i + 1], firmware::kRunKeyTail[i]);
    }
    EXPECT_EQ(keys.fixedKey, firmware::kFixedKey);
}

} // namespace
} // namespace qor
