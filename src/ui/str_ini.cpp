#include "ui/str_ini.h"

#include "base/decimal.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <string>

namespace qor {

std::u16string keyRowKey(KeySet set, std::size_t row) {
    std::u16string key = u"Item" + formatDecimal(static_cast<long long>(row));
    if (set == KeySet::B) {
        key += u'3';
    }
    return key;
}

StrIniValues readStrIni(const IniEngine& ini, const std::filesystem::path& file,
                        std::u16string_view languageSection) {
    // An unreadable file answers every key with the empty default, as a missing one does.
    return strIniValues(ini.load(file).value_or(IniDocument()), languageSection);
}

StrIniValues strIniValues(const IniDocument& document, std::u16string_view languageSection) {
    const auto read = [&](std::u16string_view section, std::u16string_view key) {
        return document.getString(section, key, u"", kIniBufferSize);
    };
    StrIniValues values;
    for (const KeySet set : {KeySet::A, KeySet::B}) {
        for (std::size_t row = 1; row <= kKeyRows; ++row) {
            values.rows.rows(set)[row - 1] = read(languageSection, keyRowKey(set, row));
        }
    }
    values.red = read(kSkinsSection, kRedKey);
    values.green = read(kSkinsSection, kGreenKey);
    values.blue = read(kSkinsSection, kBlueKey);
    values.skinName = read(kSkinsSection, kSkinNameKey);
    return values;
}

bool writeKeyRowTexts(const IniEngine& ini, const std::filesystem::path& file,
                      std::u16string_view languageSection, const KeyRowTexts& texts) {
    std::optional<IniDocument> document = ini.load(file);
    if (!document) {
        return false;
    }
    bool changed = false;
    for (const KeySet set : {KeySet::A, KeySet::B}) {
        for (std::size_t row = 1; row <= kKeyRows; ++row) {
            changed |=
                document->setString(languageSection, keyRowKey(set, row), texts.rows(set)[row - 1]);
        }
    }
    return !changed || ini.save(file, *document);
}

bool writeSkinSettings(const IniEngine& ini, const std::filesystem::path& file, TextColour colour,
                       std::u16string_view skinName) {
    std::optional<IniDocument> document = ini.load(file);
    if (!document) {
        return false;
    }
    const auto number = [](std::uint8_t v) { return formatDecimal(v); };
    bool changed = document->setString(kSkinsSection, kRedKey, number(colour.red));
    changed |= document->setString(kSkinsSection, kGreenKey, number(colour.green));
    changed |= document->setString(kSkinsSection, kBlueKey, number(colour.blue));
    changed |= document->setString(kSkinsSection, kSkinNameKey, skinName);
    return !changed || ini.save(file, *document);
}

std::uint8_t colourComponent(std::u16string_view text) {
    return static_cast<std::uint8_t>(parseDecimal(text) & 0xFF);
}

TextColour textColour(const StrIniValues& values) {
    return {colourComponent(values.red), colourComponent(values.green),
            colourComponent(values.blue)};
}

std::u16string skinsRoot(std::u16string_view folder) {
    return std::u16string(folder) + u"/Skins";
}

bool skinNameStaysInRoot(std::u16string_view skinName) {
    if (!skinName.empty() && (skinName.front() == u'/' || skinName.front() == u'\\')) {
        return false; // a root, or a network share
    }
    if (skinName.find(u':') != std::u16string_view::npos) {
        return false; // a drive, or a stream of a file
    }
    // No part of the path may step up.
    std::size_t start = 0;
    while (start <= skinName.size()) {
        const std::size_t end = std::min(skinName.find_first_of(u"/\\", start), skinName.size());
        if (skinName.substr(start, end - start) == u"..") {
            return false;
        }
        start = end + 1;
    }
    return true;
}

std::u16string skinFolder(std::u16string_view folder, std::u16string_view skinName) {
    return skinsRoot(folder) + u"/" +
           std::u16string(skinNameStaysInRoot(skinName) ? skinName : std::u16string_view{});
}

void setFirstRunKeyRowTexts(KeyRowTexts& texts, const StringTable& strings) {
    const std::u16string_view defaults[8] = {strings.text(StringId::LeftClick),
                                             strings.text(StringId::RightClick),
                                             strings.text(StringId::MidClick),
                                             strings.text(StringId::Forward),
                                             strings.text(StringId::Backward),
                                             u"DPI +",
                                             u"DPI -",
                                             strings.text(StringId::KeyOff)};
    for (const KeySet set : {KeySet::A, KeySet::B}) {
        for (std::size_t row = 0; row < 8; ++row) {
            texts.rows(set)[row] = std::u16string(defaults[row]);
        }
    }
}

void handleFirstRunKeyRows(std::uint8_t firstRunFlag, KeyRowTexts& texts,
                           const StringTable& strings, const IniEngine& ini,
                           const std::filesystem::path& file) {
    if (firstRunFlag != 0) {
        return;
    }
    setFirstRunKeyRowTexts(texts, strings);
    writeKeyRowTexts(ini, file, strings.strIniSection(), texts);
}

} // namespace qor
