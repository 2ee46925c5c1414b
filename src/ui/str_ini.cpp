#include "ui/str_ini.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <string>

namespace qor {

namespace {

std::u16string ascii(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

bool isBlank(char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

// Like the C library's conversion: values beyond int saturate.
int plainDecimal(std::u16string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    long long value = 0;
    constexpr long long kLimit = static_cast<long long>(INT_MAX) + 1;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = std::min(value * 10 + (text[i] - u'0'), kLimit);
    }
    if (negative) {
        return static_cast<int>(-value);
    }
    return static_cast<int>(std::min(value, static_cast<long long>(INT_MAX)));
}

} // namespace

std::u16string keyRowKey(KeySet set, std::size_t row) {
    std::u16string key = u"Item" + ascii(std::to_string(row));
    if (set == KeySet::B) {
        key += u'3';
    }
    return key;
}

StrIniValues readStrIni(const IniEngine& ini, const std::filesystem::path& file,
                        std::u16string_view languageSection) {
    // An unreadable file answers every key with the empty default, as a missing one does.
    const IniDocument document = ini.load(file).value_or(IniDocument());
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
    const auto number = [](std::uint8_t v) { return ascii(std::to_string(v)); };
    bool changed = document->setString(kSkinsSection, kRedKey, number(colour.red));
    changed |= document->setString(kSkinsSection, kGreenKey, number(colour.green));
    changed |= document->setString(kSkinsSection, kBlueKey, number(colour.blue));
    changed |= document->setString(kSkinsSection, kSkinNameKey, skinName);
    return !changed || ini.save(file, *document);
}

std::uint8_t colourComponent(std::u16string_view text) {
    return static_cast<std::uint8_t>(plainDecimal(text) & 0xFF);
}

TextColour textColour(const StrIniValues& values) {
    return {colourComponent(values.red), colourComponent(values.green),
            colourComponent(values.blue)};
}

std::u16string skinsRoot(std::u16string_view folder) {
    return std::u16string(folder) + u"/Skins";
}

std::u16string skinFolder(std::u16string_view folder, std::u16string_view skinName) {
    return skinsRoot(folder) + u"/" + std::u16string(skinName);
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

} // namespace qor
