// What one mouse button does, as the mouse reads it: a type byte and three parameters,
// sent in this byte order (little-endian when read as a 32-bit value).
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

#include "settings/settings_record.h"

namespace qor {

struct KeyBindingWord {
    std::uint8_t type = 0;
    std::uint8_t p1 = 0;
    std::uint8_t p2 = 0;
    std::uint8_t p3 = 0;

    static constexpr KeyBindingWord fromValue(std::uint32_t v) {
        return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
    }
    constexpr std::uint32_t value() const {
        return std::uint32_t{type} | std::uint32_t{p1} << 8 | std::uint32_t{p2} << 16 |
               std::uint32_t{p3} << 24;
    }
    constexpr bool operator==(const KeyBindingWord&) const = default;
};

namespace binding {
inline constexpr std::uint8_t kKeyboard = 0x00;
inline constexpr std::uint8_t kMouseButton = 0x01;
inline constexpr std::uint8_t kConsumer = 0x03;
inline constexpr std::uint8_t kDpi = 0x07;
inline constexpr std::uint8_t kLighting = 0x08;
inline constexpr std::uint8_t kMacro = 0x09;
inline constexpr std::uint8_t kRepeat = 0x0A;
} // namespace binding

// Positions in the function list a button offers; the key set stores these numbers.
enum class KeyFunction : std::uint8_t {
    LeftClick = 0,
    RightClick = 1,
    MidClick = 2,
    Forward = 3,
    Backward = 4,
    TripleClick = 5,
    DpiSwitch = 6,
    RgbOnOff = 7,
    Windows = 8,
    Multimedia = 9,
    FireKey = 10,
    SingleKey = 11,
    ComboKey = 12,
    MacroKey = 13,
    KeyOff = 14,
};
inline constexpr std::size_t kKeyFunctionCount = 15;

// Entry of the interface string table that labels a function: 22..28 for functions 0..6 and
// 31..38 for 7..14 (entries 29 and 30 are not in the list); 0 for a number past the list.
std::size_t functionLabelEntry(std::uint8_t function);

// Parameters of the DPI switch function, as kept in dpiSwitchA / dpiSwitchB.
enum class DpiSwitchKind : std::uint8_t { Up = 1, Down = 2, Loop = 3, Shift = 4 };

// The word of a function that takes no parameters (0..5, 7, 14); functions with parameters and
// numbers past the list give the all-zero word.
KeyBindingWord fixedFunctionWord(std::uint8_t function);
bool functionHasFixedWord(std::uint8_t function);

KeyBindingWord dpiFunctionWord(std::uint8_t dpiSwitch);

// Encodes entry `button` (0..11) of a key set; `dpiSwitch` is the matching DPI array of that set.
KeyBindingWord encodeButton(const ButtonTable& table,
                            const std::array<std::uint8_t, kButtonSlots>& dpiSwitch,
                            std::size_t button);

} // namespace qor
