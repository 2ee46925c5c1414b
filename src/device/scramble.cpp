#include "device/scramble.h"

#include "firmware_keys.h"

#include <utility>

namespace qor {

namespace {

std::uint8_t swapNibbles(std::uint8_t b) {
    return static_cast<std::uint8_t>((b << 4) | (b >> 4));
}

void swapPairs(CommandPacket& d) {
    std::swap(d[0], d[5]);
    std::swap(d[1], d[4]);
    std::swap(d[2], d[7]);
    std::swap(d[3], d[6]);
}

void xorRunKey(CommandPacket& d, const ScrambleKeys& keys) {
    for (std::size_t i = 1; i <= 6; ++i) {
        d[i] = static_cast<std::uint8_t>(d[i] ^ keys.runKey[i]);
    }
}

} // namespace

ScrambleKeys firmwareScrambleKeys() {
    ScrambleKeys keys;
    for (std::size_t i = 0; i < firmware::kRunKeyTail.size(); ++i) {
        keys.runKey[i + 1] = firmware::kRunKeyTail[i];
    }
    keys.fixedKey = firmware::kFixedKey;
    return keys;
}

void scramble(CommandPacket& d, const ScrambleKeys& keys) {
    swapPairs(d);
    xorRunKey(d, keys);
    // Rotate the block left by 3 bits, d0 the most significant byte.
    const std::uint8_t first = d[0];
    for (std::size_t i = 0; i < 7; ++i) {
        d[i] = static_cast<std::uint8_t>((d[i] << 3) | (d[i + 1] >> 5));
    }
    d[7] = static_cast<std::uint8_t>((d[7] << 3) | (first >> 5));
    for (std::size_t i = 0; i < 8; ++i) {
        d[i] = static_cast<std::uint8_t>(d[i] + swapNibbles(keys.fixedKey[i]));
    }
}

void unscramble(CommandPacket& d, const ScrambleKeys& keys) {
    for (std::size_t i = 0; i < 8; ++i) {
        d[i] = static_cast<std::uint8_t>(d[i] - swapNibbles(keys.fixedKey[i]));
    }
    // Rotate right by 3 bits.
    const std::uint8_t last = d[7];
    for (std::size_t i = 7; i > 0; --i) {
        d[i] = static_cast<std::uint8_t>((d[i] >> 3) | (d[i - 1] << 5));
    }
    d[0] = static_cast<std::uint8_t>((d[0] >> 3) | (last << 5));
    xorRunKey(d, keys);
    swapPairs(d);
}

} // namespace qor
