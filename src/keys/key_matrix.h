// The 16 binding words the mouse reads for one key matrix, and the four matrices it keeps.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

#include "keys/binding_word.h"
#include "settings/settings_record.h"

namespace qor {

inline constexpr std::size_t kKeyMatrixWords = 16;
inline constexpr std::size_t kKeyMatrixBytes = kKeyMatrixWords * 4;
inline constexpr std::size_t kKeyMatrixCount = 4;

struct KeyMatrix {
    std::array<KeyBindingWord, kKeyMatrixWords> words{};

    // Word 0 first, each word type byte first.
    std::array<std::uint8_t, kKeyMatrixBytes> bytes() const;
    bool operator==(const KeyMatrix&) const = default;
};

// Key matrix 1 from the active key set: words 0..7 the eight buttons, 8..13 zero, 14 and 15 fixed.
KeyMatrix buildKeyMatrix1(const SettingsRecord& record);

} // namespace qor
