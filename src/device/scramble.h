// The firmware's packet scrambling: swap, XOR, rotate, add. Each direction undoes the other.
#pragma once
#include "device/command_packet.h"

#include <array>
#include <cstdint>

namespace qor {

struct ScrambleKeys {
    // Bytes 0 and 7 are never used by the XOR step; they are 0 in the firmware's table.
    std::array<std::uint8_t, 8> runKey{};
    std::array<std::uint8_t, 8> fixedKey{};
};

// The tables built into this program (firmware_keys.h, chosen at configure time).
ScrambleKeys firmwareScrambleKeys();

void scramble(CommandPacket& packet, const ScrambleKeys& keys);
void unscramble(CommandPacket& packet, const ScrambleKeys& keys);

} // namespace qor
