#include "macro/macro_file.h"

#include <algorithm>
#include <system_error>

namespace qor {

std::u16string itemKey(std::size_t index) {
    std::u16string key = u"Item";
    key.append(formatDecimal(static_cast<long>(index)));
    return key;
}

std::vector<std::u16string> walkSectionList(std::u16string_view buffer) {
    std::vector<std::u16string> names;
    auto at = [&](std::size_t i) { return i < buffer.size() ? buffer[i] : char16_t{0}; };
    if (at(0) == 0) {
        return names;
    }
    std::size_t start = 0;
    for (std::size_t pos = 0; pos < kSectionListWindow; ++pos) {
        if (at(pos) != 0) {
            continue;
        }
        names.emplace_back(buffer.substr(start, pos - start));
        if (at(pos + 1) == 0) {
            break;
        }
        start = pos + 1;
    }
    return names;
}

std::vector<std::u16string> MacroFileView::macroNames() const {
    return walkSectionList(document_.sectionNames(kIniBufferSize).buffer);
}

std::u16string MacroFileView::loopText(std::u16string_view name) const {
    return document_.getString(name, kLoopTimesKey);
}

int MacroFileView::itemCount(std::u16string_view name) const {
    return parseDecimal(document_.getString(name, kItemCountKey));
}

MacroItem MacroFileView::item(std::u16string_view name, std::size_t index) const {
    return document_.getString(name, itemKey(index));
}

std::vector<MacroItem> MacroFileView::items(std::u16string_view name) const {
    const int count = std::min(itemCount(name), kMacroItemsReadMax);
    std::vector<MacroItem> out;
    for (int j = 0; j < count; ++j) {
        out.push_back(item(name, static_cast<std::size_t>(j)));
    }
    return out;
}

bool MacroFile::exists() const {
    std::error_code error;
    return std::filesystem::exists(path_, error);
}

MacroFileView MacroFile::read() const {
    if (!exists()) {
        return {};
    }
    std::optional<IniDocument> document = engine_->load(path_);
    if (!document) {
        return {};
    }
    return MacroFileView(std::move(*document));
}

void MacroFile::writeLoopCount(std::u16string_view name, long loops) const {
    // Write failures are not reported: the next read shows what the file holds.
    (void)engine_->writeString(path_, name, kLoopTimesKey, formatDecimal(loops));
}

void MacroFile::saveMacro(std::u16string_view name, std::u16string_view loopText,
                          const std::vector<MacroItem>& items) const {
    std::optional<IniDocument> document = engine_->load(path_);
    if (!document) {
        return;
    }
    writeMacroSection(*document, name, loopText, items);
    (void)engine_->save(path_, *document);
}

void writeMacroSection(IniDocument& document, std::u16string_view name,
                       std::u16string_view loopText, const std::vector<MacroItem>& items) {
    document.removeSection(name);
    document.setString(name, kLoopTimesKey, loopText);
    document.setString(name, kItemCountKey, formatDecimal(static_cast<long>(items.size())));
    for (std::size_t j = 0; j < items.size(); ++j) {
        document.setString(name, itemKey(j), items[j]);
    }
}

void MacroFile::deleteMacro(std::u16string_view name) const {
    (void)engine_->deleteSection(path_, name);
}

} // namespace qor
