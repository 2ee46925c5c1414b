#include "emulator/firmware_codec.h"

#include <bit>

namespace qor::firmware {

namespace {

// Byte i of the reordered packet is byte kOrder[i] of the original; the order is its own
// inverse.
constexpr std::array<std::size_t, 8> kOrder{5, 4, 7, 6, 1, 0, 3, 2};

std::uint64_t toWord(const Packet& p) {
    std::uint64_t word = 0;
    for (std::uint8_t b : p) {
        word = (word << 8) | b;
    }
    return word;
}

Packet fromWord(std::uint64_t word) {
    Packet p{};
    for (std::size_t i = 8; i-- > 0;) {
        p[i] = static_cast<std::uint8_t>(word & 0xFF);
        word >>= 8;
    }
    return p;
}

Packet reorder(const Packet& p) {
    Packet out{};
    for (std::size_t i = 0; i < 8; ++i) {
        out[i] = p[kOrder[i]];
    }
    return out;
}

// The run key as a word mask over bytes 1..6.
std::uint64_t runMask(const ScrambleKeys& keys) {
    Packet mask = keys.runKey;
    mask[0] = 0;
    mask[7] = 0;
    return toWord(mask);
}

std::uint8_t fixedAddend(const ScrambleKeys& keys, std::size_t i) {
    return std::rotl(keys.fixedKey[i], 4);
}

} // namespace

bool checksumHolds(const Packet& packet) {
    std::uint8_t sum = 0;
    for (std::uint8_t b : packet) {
        sum = static_cast<std::uint8_t>(sum + b);
    }
    return sum == 0xFF;
}

void seal(Packet& packet) {
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < 7; ++i) {
        sum = static_cast<std::uint8_t>(sum + packet[i]);
    }
    packet[7] = static_cast<std::uint8_t>(~sum);
}

Packet packet(std::uint8_t code, std::initializer_list<std::uint8_t> parameters) {
    Packet p{};
    p[0] = code;
    std::size_t at = 1;
    for (std::uint8_t b : parameters) {
        if (at < 7) {
            p[at++] = b;
        }
    }
    seal(p);
    return p;
}

Packet scrambled(const Packet& plain, const ScrambleKeys& keys) {
    const std::uint64_t word = std::rotl(toWord(reorder(plain)) ^ runMask(keys), 3);
    Packet out = fromWord(word);
    for (std::size_t i = 0; i < 8; ++i) {
        out[i] = static_cast<std::uint8_t>(out[i] + fixedAddend(keys, i));
    }
    return out;
}

Packet unscrambled(const Packet& wire, const ScrambleKeys& keys) {
    Packet in = wire;
    for (std::size_t i = 0; i < 8; ++i) {
        in[i] = static_cast<std::uint8_t>(in[i] - fixedAddend(keys, i));
    }
    return reorder(fromWord(std::rotr(toWord(in), 3) ^ runMask(keys)));
}

std::size_t chunksFor(std::size_t length) {
    return length / 32 + (length % 32 != 0 ? 1 : 0);
}

} // namespace qor::firmware
