#include "macro/macro_slot.h"

#include "keys/key_tables.h"

#include <algorithm>
#include <array>

namespace qor {
namespace {

struct EventPairs {
    std::array<std::uint8_t, 4> bytes{};
    std::size_t pairs = 0; // 0 for lines that are not events
};

// The pairs of item j: the event with the pause that the item after it holds.
EventPairs eventPairs(MacroItemsView macro, std::size_t j) {
    EventPairs out;
    const std::u16string_view item = macro.items[j];
    const MacroItemKind kind = macroItemKind(item);
    if (kind != MacroItemKind::Press && kind != MacroItemKind::Release) {
        return out;
    }
    const std::uint8_t flag = kind == MacroItemKind::Release ? kMacroReleaseFlag : 0;
    const std::uint8_t code = keyCodeOfName(itemKeyName(item));
    const int delay = j + 1 < macro.items.size() ? itemDelayMs(macro.items[j + 1]) : 0;
    if (delay <= kMacroShortDelayMaxMs) {
        out.bytes = {static_cast<std::uint8_t>(flag | ((delay / 10) & 0x7F)), code, 0, 0};
        out.pairs = 1;
    } else {
        out.bytes = {static_cast<std::uint8_t>(flag | ((delay % 100) & 0x7F)), code,
                     static_cast<std::uint8_t>((delay / 100) & 0xFF), kLongDelayMarker};
        out.pairs = 2;
    }
    return out;
}

std::size_t eventCount(MacroItemsView macro) {
    return std::min(macro.count, macro.items.size());
}

} // namespace

MacroSlot macroSlotOf(SettingsRecord& record, std::size_t index) {
    return MacroSlot(record.macroSlot(index), kMacroSlotBytes);
}

ConstMacroSlot macroSlotOf(const SettingsRecord& record, std::size_t index) {
    return ConstMacroSlot(record.macroSlot(index), kMacroSlotBytes);
}

std::uint16_t slotLoopCount(ConstMacroSlot slot) {
    return static_cast<std::uint16_t>((slot[0] << 8) | slot[1]);
}

std::size_t slotPairCount(ConstMacroSlot slot) {
    const auto pairs = slot.subspan<kMacroPairOffset>();
    const auto last =
        std::find_if(pairs.rbegin(), pairs.rend(), [](std::uint8_t b) { return b != 0; });
    const auto bytes = static_cast<std::size_t>(pairs.rend() - last); // up to the last one
    return (bytes + 1) / 2;
}

void setSlotLoopCount(MacroSlot slot, std::uint16_t loops) {
    slot[0] = static_cast<std::uint8_t>(loops >> 8);
    slot[1] = static_cast<std::uint8_t>(loops & 0xFF);
}

std::uint16_t validLoopCount(long value) {
    if (value < 1 || value > kMacroLoopMax) {
        return 1;
    }
    return static_cast<std::uint16_t>(value);
}

std::uint16_t loopCountFromText(std::u16string_view text) {
    return validLoopCount(parseDecimal(text));
}

std::size_t macroPairsNeeded(MacroItemsView macro) {
    std::size_t pairs = 0;
    for (std::size_t j = 0; j < eventCount(macro); ++j) {
        pairs += eventPairs(macro, j).pairs;
    }
    return pairs;
}

std::size_t encodeMacroPairs(MacroItemsView macro, MacroSlot slot) {
    std::fill(slot.begin() + kMacroPairOffset, slot.end(), std::uint8_t{0});
    std::size_t written = 0;
    for (std::size_t j = 0; j < eventCount(macro); ++j) {
        const EventPairs event = eventPairs(macro, j);
        if (written + event.pairs > kMacroPairCapacity) {
            break;
        }
        std::copy_n(event.bytes.begin(), event.pairs * 2,
                    slot.begin() + kMacroPairOffset + written * 2);
        written += event.pairs;
    }
    return written;
}

} // namespace qor
