// The program's unsaved copy of what the mouse holds. Apply fills it from the settings record
// and the mouse's own answers, and sends it; nothing of it is saved.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "device/config_blocks.h"
#include "dpi_lighting/dpi.h"
#include "dpi_lighting/lighting.h"
#include "keys/key_matrix.h"
#include "settings/settings_record.h"

namespace qor {

inline constexpr std::uint8_t kOption2PinnedBit = 0x40;

struct DeviceMirror : ConfigBlocks {
    std::uint8_t sensorType = 0;
    std::uint8_t rate = 0;
    std::uint8_t option1 = 0;
    std::uint8_t option2 = 0;
    // The sensor type of the last connect; selects the DPI lists and codes.
    std::uint8_t activeSensorType = 0;
    // Whether the last connect read-back's sensor read was answered: until it was, DPI codes
    // are not sent, since they depend on the sensor type.
    bool sensorReadThisConnection = false;
    // Whether the mouse holds what the mirror says, learnt in this connection: set by an apply
    // that went through completely, cleared by the connect read-back and by any apply that did
    // not. While it holds, a profile switch sends only what changed.
    bool sentThisConnection = false;
    LightingValues lighting; // effect, its two options and the two parameter sets
    std::uint8_t dpiStageCount = 0;
    std::array<std::uint8_t, kDpiStageCodeBytes> dpiStageCodes{};
    std::array<KeyMatrix, kKeyMatrixCount> keyMatrices{};                     // matrices 1..4
    std::array<std::uint8_t, kMacroCount * kMacroSlotBytes> macroSlotBytes{}; // slots 1..12

    // The bytes of macro slot 1..12; empty for any other number.
    std::span<std::uint8_t> macroSlot(std::size_t slotNumber);
    std::span<const std::uint8_t> macroSlot(std::size_t slotNumber) const;
};

} // namespace qor
