// The mouse's three configuration blocks, as the mouse keeps them and as the program's device
// mirror carries them: blocks 0 and 2 belong to the firmware, block 1 holds the stage colours.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace qor {

inline constexpr std::size_t kConfigBlockCount = 3;
inline constexpr std::array<std::size_t, kConfigBlockCount> kConfigBlockSizes{24, 24, 4};

struct ConfigBlocks {
    std::array<std::uint8_t, kConfigBlockSizes[0]> configBlock0{};
    std::array<std::uint8_t, kConfigBlockSizes[1]> configBlock1{};
    std::array<std::uint8_t, kConfigBlockSizes[2]> configBlock2{};

    // Block 0, 1 or 2; an empty span for any other index.
    std::span<std::uint8_t> configBlock(std::size_t index) {
        switch (index) {
        case 0:
            return configBlock0;
        case 1:
            return configBlock1;
        case 2:
            return configBlock2;
        default:
            return {};
        }
    }
    std::span<const std::uint8_t> configBlock(std::size_t index) const {
        return const_cast<ConfigBlocks*>(this)->configBlock(index);
    }

    friend bool operator==(const ConfigBlocks&, const ConfigBlocks&) = default;
};

} // namespace qor
