// The bytes of one macro slot as the record and the mouse hold them: a big-endian loop count
// and up to 63 two-byte event pairs packed from offset 2, the rest zero.
#pragma once
#include "macro/macro_item.h"
#include "settings/settings_record.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace qor {

using MacroSlot = std::span<std::uint8_t, kMacroSlotBytes>;
using ConstMacroSlot = std::span<const std::uint8_t, kMacroSlotBytes>;

inline constexpr std::size_t kMacroPairOffset = 2;
inline constexpr std::size_t kMacroPairCapacity = (kMacroSlotBytes - kMacroPairOffset) / 2;
// Pauses up to this fit into the 7-bit timing value in tens of milliseconds; longer ones take a
// second pair holding whole hundreds.
inline constexpr int kMacroShortDelayMaxMs = 1270;
inline constexpr std::uint8_t kMacroReleaseFlag = 0x80;
inline constexpr std::uint8_t kLongDelayMarker = 0x03;
inline constexpr std::uint16_t kMacroLoopMax = 65535;

MacroSlot macroSlotOf(SettingsRecord& record, std::size_t index);
ConstMacroSlot macroSlotOf(const SettingsRecord& record, std::size_t index);

std::uint16_t slotLoopCount(ConstMacroSlot slot);
// The event pairs a slot holds: up to the last pair with a byte that is not zero (the pairs are
// packed from offset 2 and the rest is zero).
std::size_t slotPairCount(ConstMacroSlot slot);
void setSlotLoopCount(MacroSlot slot, std::uint16_t loops);
// A loop value outside 1..65535 (a missing one reads as 0) counts as 1.
std::uint16_t loopCountFromText(std::u16string_view text);
// Keeps a number within 1..65535 and turns anything else into 1.
std::uint16_t validLoopCount(long value);

// Items of one macro as the encoder sees them: items[0..count) are the macro; items[count], when
// present, is what the file holds after the last one and only serves as its delay.
struct MacroItemsView {
    std::span<const MacroItem> items;
    std::size_t count;
};

// Pairs the events of the macro take (long-delay pairs included), however many they are.
std::size_t macroPairsNeeded(MacroItemsView macro);

// Writes the event pairs from offset 2 and zeroes the bytes after them; bytes 0 and 1 are left
// alone. An event whose pairs no longer fit is left out together with everything after it, so
// the slot holds a true prefix of the macro. Returns the number of pairs written.
std::size_t encodeMacroPairs(MacroItemsView macro, MacroSlot slot);

} // namespace qor
