// The 8-byte command packet carried in one feature report.
#pragma once
#include <array>
#include <cstdint>
#include <initializer_list>

namespace qor {

// Byte 0 the command code (bit 7 marks a read), bytes 1..6 parameters, byte 7 the checksum.
using CommandPacket = std::array<std::uint8_t, 8>;

inline constexpr std::uint8_t kReadCommandBit = 0x80;
inline constexpr std::size_t kChecksumByte = 7;

// 0xFF minus the sum of bytes 0..6: all eight bytes then add up to 0xFF modulo 256.
std::uint8_t packetChecksum(const CommandPacket& packet);
// Writes the checksum of bytes 0..6 into byte 7.
void sealPacket(CommandPacket& packet);
// A packet from its code and up to six parameter bytes (the rest 0), sealed.
CommandPacket makePacket(std::uint8_t code, std::initializer_list<std::uint8_t> parameters = {});
inline bool isReadCommand(std::uint8_t code) {
    return (code & kReadCommandBit) != 0;
}

} // namespace qor
