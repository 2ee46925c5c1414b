// str.ini beside the executable: the texts of the key rows per interface language, and in
// section "Skins" the text colour and the skin name.
#pragma once
#include "settings/ini_engine.h"
#include "ui/scene.h"
#include "ui/strings.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace qor {

inline constexpr std::size_t kKeyRows = 12; // per key set
inline constexpr std::u16string_view kSkinsSection = u"Skins";
inline constexpr std::u16string_view kRedKey = u"RColor";
inline constexpr std::u16string_view kGreenKey = u"GColor";
inline constexpr std::u16string_view kBlueKey = u"BColor";
inline constexpr std::u16string_view kSkinNameKey = u"Path";

enum class KeySet { A, B };

// Row 1..12 of key set A is "Item1".."Item12"; row n of key set B is "Item" + n + "3", so row 5
// is "Item53" and row 12 "Item123".
std::u16string keyRowKey(KeySet set, std::size_t row);

struct KeyRowTexts {
    std::array<std::u16string, kKeyRows> setA; // rows 1..12 at 0..11
    std::array<std::u16string, kKeyRows> setB;

    std::array<std::u16string, kKeyRows>& rows(KeySet set) {
        return set == KeySet::A ? setA : setB;
    }
    const std::array<std::u16string, kKeyRows>& rows(KeySet set) const {
        return set == KeySet::A ? setA : setB;
    }
    bool operator==(const KeyRowTexts&) const = default;
};

// Everything str.ini holds for one language, as text. A missing file or key reads as empty.
struct StrIniValues {
    KeyRowTexts rows;
    std::u16string red;
    std::u16string green;
    std::u16string blue;
    std::u16string skinName;
};

struct TextColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const TextColour&) const = default;
};

// The colour the window starts with, until str.ini has been read.
inline constexpr TextColour kInitialTextColour{0, 255, 0};

inline constexpr Rgb rgbOf(TextColour c) {
    return Rgb{c.red, c.green, c.blue};
}

// The 24 key-row texts of `languageSection`, then the four values of "Skins".
StrIniValues readStrIni(const IniEngine& ini, const std::filesystem::path& file,
                        std::u16string_view languageSection);
// The same values from a document already read.
StrIniValues strIniValues(const IniDocument& document, std::u16string_view languageSection);

// The 24 texts in the order "Item1".."Item12", "Item13", "Item23".."Item123". Only the given
// section changes. False when the file could not be read or written.
bool writeKeyRowTexts(const IniEngine& ini, const std::filesystem::path& file,
                      std::u16string_view languageSection, const KeyRowTexts& texts);

// "RColor", "GColor", "BColor" as decimal numbers and "Path" in section "Skins".
bool writeSkinSettings(const IniEngine& ini, const std::filesystem::path& file, TextColour colour,
                       std::u16string_view skinName);

// A colour component from its text: plain decimal conversion (leading blanks, a sign, the
// leading digits; 0 without digits), the low byte kept: "300" gives 44, "" gives 0.
std::uint8_t colourComponent(std::u16string_view text);
TextColour textColour(const StrIniValues& values);

// `folder` is the program folder (programFolder() in app/paths.h), ending with its separator.
std::u16string skinsRoot(std::u16string_view folder);
// An empty skin name gives the Skins root followed by "/": images then come from the root. So
// does a name that would lead out of the root (a "..", a drive, a root): str.ini is a file
// anyone can edit, and the skin folder is where every image is read from.
std::u16string skinFolder(std::u16string_view folder, std::u16string_view skinName);
bool skinNameStaysInRoot(std::u16string_view skinName);

// The texts the key rows get at the first start: rows 1..8 of both key sets describe the
// default assignment in the interface language; rows 9..12 stay as they are.
void setFirstRunKeyRowTexts(KeyRowTexts& texts, const StringTable& strings);

// The first drawing of the Basic Settings page: while config.bin has never been saved (first-run
// flag 0) the key rows take their first-start texts and str.ini receives them at once.
void handleFirstRunKeyRows(std::uint8_t firstRunFlag, KeyRowTexts& texts,
                           const StringTable& strings, const IniEngine& ini,
                           const std::filesystem::path& file);

} // namespace qor
