#include "emulator/mouse_state.h"

namespace qor {

MouseState factoryMouseState() {
    MouseState s;
    s.sensorType = 0x01;
    s.rate = 0x02;
    s.option1 = 0x2A;
    s.option2 = 0x15;
    s.ledParams = {{{0x31, 0x32, 0x33}, {0x41, 0x42, 0x43}}};
    s.effect = 0x04;
    s.effectOption1 = 0x17;
    s.effectOption2 = 0x05;
    for (std::size_t i = 0; i < s.configBlock0.size(); ++i) {
        s.configBlock0[i] = static_cast<std::uint8_t>(0xB0 + i);
    }
    const std::array<std::uint8_t, 12> colours{0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00,
                                               0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00};
    for (std::size_t i = 0; i < s.configBlock1.size(); ++i) {
        s.configBlock1[i] = i < colours.size() ? colours[i] : static_cast<std::uint8_t>(0xD0 + i);
    }
    s.configBlock2 = {0xE1, 0xE2, 0xE3, 0xE4};
    s.dpiStageCount = 4;
    s.dpiStageCodes = {0x02, 0x03, 0x05, 0x07, 0x80, 0x80, 0x80, 0x80};
    for (std::size_t n = 0; n < s.keyMatrices.size(); ++n) {
        for (std::size_t i = 0; i < s.keyMatrices[n].size(); ++i) {
            s.keyMatrices[n][i] = static_cast<std::uint8_t>(0x10 * (n + 1) + i % 16);
        }
    }
    for (std::size_t n = 0; n < s.macroSlots.size(); ++n) {
        for (std::size_t i = 0; i < s.macroSlots[n].size(); ++i) {
            s.macroSlots[n][i] = static_cast<std::uint8_t>(0x20 + 0x0B * (n + 1) + i);
        }
    }
    return s;
}

} // namespace qor
