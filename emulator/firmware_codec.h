// The firmware's side of the packet coding, written from the firmware's description apart from
// the program's (device/command_packet.h, device/scramble.h), so that a fault in the program's
// checksum or scrambling makes the emulated mouse refuse or misread its packets instead of
// agreeing with it.
//
// The firmware sees the eight packet bytes as one 64-bit word, byte 0 most significant.
// Scrambling: reorder the bytes, XOR bytes 1..6 with the run key, rotate the word left by three
// bits, add the fixed key (each byte with its nibbles swapped) byte by byte.
#pragma once
#include "device/scramble.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace qor::firmware {

using Packet = std::array<std::uint8_t, 8>;

// Whether all eight bytes sum to 0xFF modulo 256.
bool checksumHolds(const Packet& packet);
// Sets byte 7 so that the checksum holds.
void seal(Packet& packet);
// A sealed packet of a code and up to six parameters.
Packet packet(std::uint8_t code, std::initializer_list<std::uint8_t> parameters = {});

Packet scrambled(const Packet& plain, const ScrambleKeys& keys);
Packet unscrambled(const Packet& wire, const ScrambleKeys& keys);

// Input reports a block of `length` bytes takes, 32 bytes each.
std::size_t chunksFor(std::size_t length);

} // namespace qor::firmware
