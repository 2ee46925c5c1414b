// The fixed tables that turn the names and list positions the dialogs deliver into the
// one-byte codes the mouse wants: keyboard usages, modifier bits, fire keys, media and
// Windows-function usages, the DPI switch's settings. Constant data, pure lookups.
#pragma once
#include "base/virtual_keys.h"
#include "ui/strings.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace qor {

struct KeyNameEntry {
    std::u16string_view name;
    std::uint8_t code;
};

// A list text in the three interface languages, with the code it stands for.
struct UsageEntry {
    std::u16string_view english;
    std::u16string_view simplifiedChinese;
    std::u16string_view traditionalChinese;
    std::uint16_t usage;
};

struct FireKeyEntry {
    std::u16string_view text; // the same in every language
    std::uint8_t code;
};

inline constexpr std::size_t kKeyNameCount = 107;
inline constexpr std::size_t kModifierCount = 8;
inline constexpr std::size_t kFireKeyCount = 61;
inline constexpr std::size_t kMediaCount = 7;
inline constexpr std::size_t kWindowsFunctionCount = 11;

// The tables in their list order.
std::span<const KeyNameEntry> keyNameTable();
std::span<const KeyNameEntry> modifierTable();
std::span<const FireKeyEntry> fireKeyTable();
std::span<const UsageEntry> mediaTable();
std::span<const UsageEntry> windowsFunctionTable();

// Keyboard code of a key name (exact, case-sensitive match); 0 when the name is unknown.
std::uint8_t keyCodeOfName(std::u16string_view name);
// The first name that carries this keyboard code, if any.
std::optional<std::u16string_view> keyNameOfCode(std::uint8_t code);
// Modifier bit of a combo-dialog modifier name; 0 when unknown.
std::uint8_t modifierBitOfName(std::u16string_view name);
// Code of a fire key list position; 0 past the list.
std::uint8_t fireKeyCode(std::size_t position);
// Low byte of the consumer usage of a multimedia list position (its high byte is 0); 0 past the
// list.
std::uint8_t mediaUsage(std::size_t position);
// Low and high byte of the consumer usage of a Windows-function list position; 0 past the list.
std::uint8_t windowsUsageLow(std::size_t position);
std::uint8_t windowsUsageHigh(std::size_t position);

// A media or Windows-function entry in the interface language.
std::u16string_view usageText(const UsageEntry& entry, Language language);

// The DPI switch's settings in the order of its side list: position p is the record's DPI
// switch code p + 1 (0 is none). The same in every language.
inline constexpr std::array<std::u16string_view, 4> kDpiSwitchNames = {u"DPI +", u"DPI -",
                                                                       u"DPI Loop", u"Shift DPI"};
// The name of DPI switch code 1..4; nothing for any other code.
std::optional<std::u16string_view> dpiSwitchName(std::uint8_t code);

} // namespace qor
