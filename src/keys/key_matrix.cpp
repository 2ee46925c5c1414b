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
    const ButtonTable& table = record.activeTable();
    const auto& dpiSwitch = record.activeDpiSwitch();
    for (std::size_t k = 0; k < kMouseButtons; ++k) {
        m.words[k] = encodeButton(table, dpiSwitch, k);
    }
    // Two fixed mouse-button words the firmware expects in the last slots.
    m.words[14] = KeyBindingWord::fromValue(0x00F70001);
    m.words[15] = KeyBindingWord::fromValue(0x00F80001);
    return m;
}

} // namespace qor
