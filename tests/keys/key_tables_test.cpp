#include "keys/key_tables.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using namespace qor;

TEST(KeyTablesTest, NameLookupsGiveHidCodes) {
    struct Case {
        std::u16string name;
        std::uint8_t code;
    };
    const Case cases[] = {
        {u"A", 0x04},
        {u"Z", 0x1D},
        {u"1", 0x1E},
        {u"9", 0x26},
        {u"0", 0x27},
        {u"Enter", 0x28},
        {u"Space", 0x2C},
        {u"\\", 0x31},
        {u"Eurpo(Note 2)", 0x32},
        {u";", 0x33},
        {u"/", 0x38},
        {u"Caps Lock", 0x39},
        {u"F1", 0x3A},
        {u"F12", 0x45},
        {u"Prnt Scrn", 0x46},
        {u"Page Down", 0x4E},
        {u"Right", 0x4F},
        {u"Up", 0x52},
        {u"Num Lock", 0x53},
        {u"Num Enter", 0x58},
        {u"Num 1", 0x59},
        {u"Num 9", 0x61},
        {u"Num 0", 0x62},
        {u"Num Del", 0x63},
        {u"Ctrl", 0xE0},
        {u"Shift", 0xE1},
        {u"Alt", 0xE2},
        {u"Left Windows", 0xE3},
        {u"Right Ctrl", 0xE4},
        {u"Right Windows", 0xE7},
        {u"L-Button", 0xF0},
        {u"M-Button", 0xF2},
        // Unknown texts: other case, extra blank, a non-US key name, empty.
        {u"a", 0},
        {u"A ", 0},
        {u"ctrl", 0},
        {u"Ö", 0},
        {u"", 0},
        {u"Left Ctrl", 0},
        {u"B4-Button", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(keyCodeOfName(c.name), c.code) << std::string(c.name.begin(), c.name.end());
    }
}

TEST(KeyTablesTest, KeyNameTableHasDistinctNamesAndCodes) {
    ASSERT_EQ(keyNameTable().size(), kKeyNameCount);
    std::set<std::u16string_view> names;
    std::set<std::uint8_t> codes;
    for (const auto& e : keyNameTable()) {
        names.insert(e.name);
        codes.insert(e.code);
    }
    EXPECT_EQ(names.size(), kKeyNameCount);
    EXPECT_EQ(codes.size(), kKeyNameCount);
    EXPECT_EQ(keyNameOfCode(0x32), u"Eurpo(Note 2)");
    EXPECT_FALSE(keyNameOfCode(0x64).has_value());
}

TEST(KeyTablesTest, ModifierBits) {
    const std::pair<std::u16string_view, std::uint8_t> cases[] = {
        {u"Left Ctrl", 0x01},
        {u"Left Shift", 0x02},
        {u"Left Alt", 0x04},
        {u"Left Win", 0x08},
        {u"Right Ctrl", 0x10},
        {u"Right Shift", 0x20},
        {u"Right Alt", 0x40},
        {u"Right Win", 0x80},
        {u"Ctrl", 0},
        {u"left ctrl", 0},
        {u"", 0},
    };
    for (const auto& [name, bit] : cases) {
        EXPECT_EQ(modifierBitOfName(name), bit);
    }
}

TEST(KeyTablesTest, FireKeyPositions) {
    const std::pair<std::size_t, std::uint8_t> cases[] = {
        {0, 0x04},  {25, 0x1D}, {26, 0x1E}, {35, 0x27}, {36, 0xE0}, {38, 0xE2}, {39, 0xE4},
        {40, 0xE5}, {41, 0xE6}, {42, 0x3A}, {53, 0x45}, {54, 0xF0}, {56, 0xF2}, {57, 0xF3},
        {58, 0xF4}, {59, 0xF5}, {60, 0xF6}, {61, 0},    {255, 0},
    };
    for (const auto& [pos, code] : cases) {
        EXPECT_EQ(fireKeyCode(pos), code) << pos;
    }
    EXPECT_EQ(fireKeyTable()[39].text, u"R-CTRL");
}

TEST(KeyTablesTest, MediaAndWindowsPositions) {
    const std::uint8_t media[] = {0xB5, 0xB6, 0xB7, 0xCD, 0xE2, 0xE9, 0xEA, 0, 0};
    for (std::size_t p = 0; p < std::size(media); ++p) {
        EXPECT_EQ(mediaUsage(p), media[p]) << p;
    }
    EXPECT_EQ(mediaUsage(200), 0);
    struct W {
        std::size_t pos;
        std::uint8_t low, high;
    };
    const W windows[] = {{0, 0x83, 1}, {2, 0x92, 1},  {3, 0x94, 1}, {4, 0x21, 2},
                         {9, 0x27, 2}, {10, 0x2A, 2}, {11, 0, 0},   {255, 0, 0}};
    for (const auto& w : windows) {
        EXPECT_EQ(windowsUsageLow(w.pos), w.low) << w.pos;
        EXPECT_EQ(windowsUsageHigh(w.pos), w.high) << w.pos;
    }
    // The high byte rule agrees with the full usages of the table.
    for (std::size_t p = 0; p < kWindowsFunctionCount; ++p) {
        EXPECT_EQ(windowsUsageHigh(p), windowsFunctionTable()[p].usage >> 8) << p;
    }
}

// One table of the DPI switch's settings serves the side list, the profile and qorctl: list
// position p is code p + 1.
TEST(KeyTablesTest, DpiSwitchNames) {
    EXPECT_EQ(dpiSwitchName(0), std::nullopt);
    EXPECT_EQ(dpiSwitchName(1), u"DPI +");
    EXPECT_EQ(dpiSwitchName(2), u"DPI -");
    EXPECT_EQ(dpiSwitchName(3), u"DPI Loop");
    EXPECT_EQ(dpiSwitchName(4), u"Shift DPI");
    EXPECT_EQ(dpiSwitchName(5), std::nullopt);
    EXPECT_EQ(dpiSwitchName(255), std::nullopt);
    for (std::size_t p = 0; p < kDpiSwitchNames.size(); ++p) {
        EXPECT_EQ(dpiSwitchName(static_cast<std::uint8_t>(p + 1)), kDpiSwitchNames[p]);
    }
}

TEST(KeyTablesTest, UsageTextsInTheInterfaceLanguage) {
    const UsageEntry& e = mediaTable()[0];
    EXPECT_EQ(usageText(e, Language::English), e.english);
    EXPECT_EQ(usageText(e, Language::SimplifiedChinese), e.simplifiedChinese);
    EXPECT_EQ(usageText(e, Language::TraditionalChinese), e.traditionalChinese);
    EXPECT_NE(e.english, e.simplifiedChinese);
}

} // namespace
