// The emulator's packet coding is written apart from the program's: the two must agree on every
// packet and key, and a packet coded wrongly must not pass the emulated firmware.
#include "emulator/firmware_codec.h"

#include "device/command_packet.h"
#include "device/scramble.h"

#include <gtest/gtest.h>

#include <random>

namespace qor {
namespace {

TEST(FirmwareCodec, ChecksumVectors) {
    const struct {
        firmware::Packet packet;
        std::uint8_t checksum;
    } cases[] = {
        {{0x83}, 0x7C},
        {{0x00, 0xC6, 0x93, 0x2F, 0x71}, 0x06},
        {{0x13, 0x01, 0x80}, 0x6B},
        {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, 0x06},
    };
    for (const auto& c : cases) {
        firmware::Packet p = c.packet;
        firmware::seal(p);
        EXPECT_EQ(p[7], c.checksum);
        EXPECT_TRUE(firmware::checksumHolds(p));
        p[7] ^= 1;
        EXPECT_FALSE(firmware::checksumHolds(p));
    }
    EXPECT_EQ(firmware::packet(0x87, {1, 2, 3, 4, 5, 6, 7}),
              (firmware::Packet{0x87, 1, 2, 3, 4, 5, 6, 0x63}));
}

TEST(FirmwareCodec, AgreesWithTheProgramOnEveryPacketAndKey) {
    std::mt19937 random(7);
    const auto byte = [&] { return static_cast<std::uint8_t>(random() & 0xFF); };
    for (int n = 0; n < 20000; ++n) {
        ScrambleKeys keys;
        for (std::size_t i = 0; i < 8; ++i) {
            keys.runKey[i] = byte();
            keys.fixedKey[i] = byte();
        }
        CommandPacket plain{};
        for (auto& b : plain) {
            b = byte();
        }
        CommandPacket program = plain;
        scramble(program, keys);
        ASSERT_EQ(firmware::scrambled(plain, keys), program) << n;
        ASSERT_EQ(firmware::unscrambled(program, keys), plain) << n;
        CommandPacket sealed = plain;
        sealPacket(sealed);
        firmware::Packet own = plain;
        firmware::seal(own);
        ASSERT_EQ(own, sealed) << n;
    }
    for (std::size_t length : {0u, 1u, 31u, 32u, 33u, 64u, 128u, 255u}) {
        EXPECT_EQ(firmware::chunksFor(length), (length + 31) / 32) << length;
    }
}

} // namespace
} // namespace qor
