#include "macro/macro_slot_bytes.h"

#include <algorithm>

namespace qor {

void encodeStoredMacro(const MacroFileView& file, std::u16string_view name, MacroSlot slot) {
    setSlotLoopCount(slot, loopCountFromText(file.loopText(name)));
    const int count = file.itemCount(name);
    if (count == 0) {
        std::fill(slot.begin(), slot.end(), std::uint8_t{0});
        return;
    }
    if (count < 0) {
        return;
    }
    std::vector<MacroItem> items = file.items(name);
    // The last event takes its pause from whatever the file holds after it, normally nothing.
    items.push_back(file.item(name, items.size()));
    encodeMacroPairs(MacroItemsView{items, items.size() - 1}, slot);
}

std::size_t rebuildMacroSlotBytes(const MacroFile& file, SettingsRecord& record) {
    if (!file.exists()) {
        return 0;
    }
    const MacroFileView view = file.read();
    const std::vector<std::u16string> names = view.macroNames();
    const std::size_t sections = std::min(names.size(), kMacroCount);
    for (std::size_t k = 0; k < sections; ++k) {
        encodeStoredMacro(view, names[k], macroSlotOf(record, k));
    }
    return sections;
}

} // namespace qor
