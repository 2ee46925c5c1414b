#include "keys/key_matrix.h"

namespace qor {

std::array<std::uint8_t, kKeyMatrixBytes> KeyMatrix::bytes() const {
    std::array<std::uint8_t, kKeyMatrixBytes> out{};
    for (std::size_t i = 0; i < kKeyMatrixWords; ++i) {
        out[i * 4 + 0] = words[i].type;
        out[i * 4 + 1] = words[i].p1;
        out[i * 4 + 2] = words[i].p2;
        out[i * 4 + 3] = words[i].p3;
    }
    return out;
}

KeyMatrix buildKeyMatrix1(const SettingsRecord& record) {
    KeyMatrix m;
    // Any value but 0 applies Mode B, so a stray byte in config.bin still picks one set whole.
    const bool modeA = record.activeMode == 0;
    const ButtonTable& table = modeA ? record.modeA : record.modeB;
    const auto& dpiSwitch = modeA ? record.dpiSwitchA : record.dpiSwitchB;
    for (std::size_t k = 0; k < kMouseButtons; ++k) {
        m.words[k] = encodeButton(table, dpiSwitch, k);
    }
    // Two fixed mouse-button words the firmware expects in the last slots.
    m.words[14] = KeyBindingWord::fromValue(0x00F70001);
    m.words[15] = KeyBindingWord::fromValue(0x00F80001);
    return m;
}

} // namespace qor
