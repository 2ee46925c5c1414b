// The program's unsaved copy of what the mouse holds. Apply fills it from the settings record
// and the mouse's own answers, and sends it; nothing of it is saved.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "app/settings_record.h"
#include "dpi_lighting/dpi.h"
#include "dpi_lighting/lighting.h"
#include "keys/key_matrix.h"

namespace qor {

inline constexpr std::size_t kConfigBlockCount = 3;
inline constexpr std::array<std::size_t, kConfigBlockCount> kConfigBlockSizes{24, 24, 4};
inline constexpr std::uint8_t kOption2PinnedBit = 0x40;

struct DeviceImage {
    std::uint8_t sensorType = 0;
    std::uint8_t rate = 0;
    std::uint8_t option1 = 0;
    std::uint8_t option2 = 0;
    // The sensor type of the last connect; selects the DPI lists and codes.
    std::uint8_t activeSensorType = 0;
    LightingValues lighting; // effect, its two options and the two parameter sets
    std::array<std::uint8_t, 24> configBlock0{};
    std::array<std::uint8_t, 24> configBlock1{};
    std::array<std::uint8_t, 4> configBlock2{};
    std::uint8_t dpiStageCount = 0;
    std::array<std::uint8_t, kDpiStageCodeBytes> dpiStageCodes{};
    std::array<KeyMatrix, kKeyMatrixCount> keyMatrices{}; // matrices 1..4
    std::array<std::uint8_t, kMacroCount * kMacroSlotBytes> macroImage{};

    // Block 0, 1 or 2; empty for any other index.
    std::span<std::uint8_t> configBlock(std::size_t index);
    std::span<std::uint8_t> macroSlot(std::size_t slotNumber); // 1..12; empty otherwise
};

} // namespace qor
