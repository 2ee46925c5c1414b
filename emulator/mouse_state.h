// What the emulated mouse keeps, and its factory state.
#pragma once
#include <array>
#include <cstdint>
#include <span>

#include "device/config_blocks.h"

namespace qor {

struct MouseState : ConfigBlocks {
    std::uint8_t sensorType = 0;
    std::uint8_t rate = 0;
    std::uint8_t option1 = 0;
    std::uint8_t option2 = 0;
    std::array<std::array<std::uint8_t, 3>, 2> ledParams{};
    std::uint8_t effect = 0;
    std::uint8_t effectOption1 = 0;
    std::uint8_t effectOption2 = 0;
    std::uint8_t dpiStageCount = 0;
    std::array<std::uint8_t, 8> dpiStageCodes{};
    std::array<std::array<std::uint8_t, 64>, 4> keyMatrices{};  // matrices 1..4
    std::array<std::array<std::uint8_t, 128>, 12> macroSlots{}; // slots 1..12

    friend bool operator==(const MouseState&, const MouseState&) = default;
};

// The factory state. Every byte the program only reads and writes back is distinctive and non-zero,
// so that a test can tell a value passed through from one the program made up or zeroed:
//   sensorType     0x01 (the 8-step sensor)
//   rate           0x02 (500 Hz)          option1 0x2a          option2 0x15 (bit 6 clear)
//   ledParams[0]   31 32 33               ledParams[1] 41 42 43
//   effect         0x04   effectOption1 0x17   effectOption2 0x05
//   configBlock0   b0 b1 ... c7 (0xb0 + i)
//   configBlock1   ff 00 00  00 ff 00  00 00 ff  ff ff 00, then dc dd .. e7 (0xd0 + i for i 12..23)
//   configBlock2   e1 e2 e3 e4
//   dpiStageCount  4, dpiStageCodes 02 03 05 07 80 80 80 80
//   keyMatrices    matrix n byte i: 0x10 * n + (i % 16)
//   macroSlots     slot n byte i: (0x20 + 0x0b * n + i) mod 256
MouseState factoryMouseState();

} // namespace qor
