// Arbitrary bytes as record.ini: the section walk, the loop texts, the items and the encoding of
// every macro into its slot never crash, never read past the 255-character window and never
// write past a slot.
#include "macro/macro_file.h"
#include "macro/macro_slot.h"
#include "macro/macro_slot_bytes.h"
#include "settings/ini_engine.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    // The walk over a raw section-name buffer, as the system could leave it.
    std::u16string buffer;
    for (std::size_t i = 0; i + 1 < input.size(); i += 2) {
        buffer.push_back(static_cast<char16_t>(static_cast<std::uint8_t>(input[i]) |
                                               (static_cast<std::uint8_t>(input[i + 1]) << 8)));
    }
    std::size_t walked = 0;
    for (const std::u16string& name : qor::walkSectionList(buffer)) {
        walked += name.size() + 1;
        check(name.find(u'\0') == std::u16string::npos);
    }
    check(walked <= qor::kSectionListWindow);

    const qor::MacroFileView view(qor::IniDocument::parse(input));
    // Guard bytes on both sides of the slot catch a write past it.
    std::array<std::uint8_t, qor::kMacroSlotBytes + 2> guarded{};
    guarded.front() = 0xA5;
    guarded.back() = 0x5A;
    const qor::MacroSlot slot(guarded.data() + 1, qor::kMacroSlotBytes);
    const std::vector<std::u16string> names = view.macroNames();
    for (const std::u16string& name : names) {
        check(name.size() < qor::kSectionListWindow);
        (void)view.loopText(name);
        const std::vector<qor::MacroItem> items = view.items(name);
        check(items.size() <= static_cast<std::size_t>(qor::kMacroItemsReadMax));
        qor::encodeStoredMacro(view, name, slot);
        check(guarded.front() == 0xA5 && guarded.back() == 0x5A);
    }
    return 0;
}
