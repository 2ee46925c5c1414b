#include "keys/key_tables.h"

#include <array>

namespace qor {
namespace {

constexpr std::array<KeyNameEntry, kKeyNameCount> kKeyNames{{
    {u"A", 0x04},
    {u"B", 0x05},
    {u"C", 0x06},
    {u"D", 0x07},
    {u"E", 0x08},
    {u"F", 0x09},
    {u"G", 0x0A},
    {u"H", 0x0B},
    {u"I", 0x0C},
    {u"J", 0x0D},
    {u"K", 0x0E},
    {u"L", 0x0F},
    {u"M", 0x10},
    {u"N", 0x11},
    {u"O", 0x12},
    {u"P", 0x13},
    {u"Q", 0x14},
    {u"R", 0x15},
    {u"S", 0x16},
    {u"T", 0x17},
    {u"U", 0x18},
    {u"V", 0x19},
    {u"W", 0x1A},
    {u"X", 0x1B},
    {u"Y", 0x1C},
    {u"Z", 0x1D},
    {u"1", 0x1E},
    {u"2", 0x1F},
    {u"3", 0x20},
    {u"4", 0x21},
    {u"5", 0x22},
    {u"6", 0x23},
    {u"7", 0x24},
    {u"8", 0x25},
    {u"9", 0x26},
    {u"0", 0x27},
    {u"Enter", 0x28},
    {u"Esc", 0x29},
    {u"Backspace", 0x2A},
    {u"Tab", 0x2B},
    {u"Space", 0x2C},
    {u"-", 0x2D},
    {u"=", 0x2E},
    {u"[", 0x2F},
    {u"]", 0x30},
    {u"\\", 0x31},
    {u"Eurpo(Note 2)", 0x32},
    {u";", 0x33},
    {u"'", 0x34},
    {u"`", 0x35},
    {u",", 0x36},
    {u".", 0x37},
    {u"/", 0x38},
    {u"Caps Lock", 0x39},
    {u"F1", 0x3A},
    {u"F2", 0x3B},
    {u"F3", 0x3C},
    {u"F4", 0x3D},
    {u"F5", 0x3E},
    {u"F6", 0x3F},
    {u"F7", 0x40},
    {u"F8", 0x41},
    {u"F9", 0x42},
    {u"F10", 0x43},
    {u"F11", 0x44},
    {u"F12", 0x45},
    {u"Prnt Scrn", 0x46},
    {u"Scroll Lock", 0x47},
    {u"Pause", 0x48},
    {u"Insert", 0x49},
    {u"Home", 0x4A},
    {u"Page Up", 0x4B},
    {u"Delete", 0x4C},
    {u"End", 0x4D},
    {u"Page Down", 0x4E},
    {u"Right", 0x4F},
    {u"Left", 0x50},
    {u"Down", 0x51},
    {u"Up", 0x52},
    {u"Num Lock", 0x53},
    {u"Num /", 0x54},
    {u"Num *", 0x55},
    {u"Num -", 0x56},
    {u"Num +", 0x57},
    {u"Num Enter", 0x58},
    {u"Num 1", 0x59},
    {u"Num 2", 0x5A},
    {u"Num 3", 0x5B},
    {u"Num 4", 0x5C},
    {u"Num 5", 0x5D},
    {u"Num 6", 0x5E},
    {u"Num 7", 0x5F},
    {u"Num 8", 0x60},
    {u"Num 9", 0x61},
    {u"Num 0", 0x62},
    {u"Num Del", 0x63},
    {u"Ctrl", 0xE0},
    {u"Shift", 0xE1},
    {u"Alt", 0xE2},
    {u"Left Windows", 0xE3},
    {u"Right Ctrl", 0xE4},
    {u"Right Shift", 0xE5},
    {u"Right Alt", 0xE6},
    {u"Right Windows", 0xE7},
    {u"L-Button", 0xF0},
    {u"R-Button", 0xF1},
    {u"M-Button", 0xF2},
}};

constexpr std::array<KeyNameEntry, kModifierCount> kModifiers{{
    {u"Left Ctrl", 0x01},
    {u"Left Shift", 0x02},
    {u"Left Alt", 0x04},
    {u"Left Win", 0x08},
    {u"Right Ctrl", 0x10},
    {u"Right Shift", 0x20},
    {u"Right Alt", 0x40},
    {u"Right Win", 0x80},
}};

constexpr std::array<FireKeyEntry, kFireKeyCount> kFireKeys{{
    {u"A", 0x04},
    {u"B", 0x05},
    {u"C", 0x06},
    {u"D", 0x07},
    {u"E", 0x08},
    {u"F", 0x09},
    {u"G", 0x0A},
    {u"H", 0x0B},
    {u"I", 0x0C},
    {u"J", 0x0D},
    {u"K", 0x0E},
    {u"L", 0x0F},
    {u"M", 0x10},
    {u"N", 0x11},
    {u"O", 0x12},
    {u"P", 0x13},
    {u"Q", 0x14},
    {u"R", 0x15},
    {u"S", 0x16},
    {u"T", 0x17},
    {u"U", 0x18},
    {u"V", 0x19},
    {u"W", 0x1A},
    {u"X", 0x1B},
    {u"Y", 0x1C},
    {u"Z", 0x1D},
    {u"1", 0x1E},
    {u"2", 0x1F},
    {u"3", 0x20},
    {u"4", 0x21},
    {u"5", 0x22},
    {u"6", 0x23},
    {u"7", 0x24},
    {u"8", 0x25},
    {u"9", 0x26},
    {u"0", 0x27},
    {u"L-CTRL", 0xE0},
    {u"L-SHIFT", 0xE1},
    {u"L-ALT", 0xE2},
    {u"R-CTRL", 0xE4},
    {u"R-SHIFT", 0xE5},
    {u"R-ALT", 0xE6},
    {u"F1", 0x3A},
    {u"F2", 0x3B},
    {u"F3", 0x3C},
    {u"F4", 0x3D},
    {u"F5", 0x3E},
    {u"F6", 0x3F},
    {u"F7", 0x40},
    {u"F8", 0x41},
    {u"F9", 0x42},
    {u"F10", 0x43},
    {u"F11", 0x44},
    {u"F12", 0x45},
    {u"L-Button", 0xF0},
    {u"R-Button", 0xF1},
    {u"M-Button", 0xF2},
    {u"B4-Button", 0xF3},
    {u"B5-Button", 0xF4},
    {u"L-Tilt Wheel", 0xF5},
    {u"R-Tilt Wheel", 0xF6},
}};

constexpr std::array<UsageEntry, kMediaCount> kMedia{{
    {u"Next", u"下一首", u"下一首", 0xB5},
    {u"Previous", u"上一首", u"上一首", 0xB6},
    {u"Stop", u"停止", u"停止", 0xB7},
    {u"Play/Pause", u"播放/暂停", u"播放/暫停", 0xCD},
    {u"Mute", u"静音", u"靜音", 0xE2},
    {u"Vol+", u"音量+", u"音量+", 0xE9},
    {u"Vol-", u"音量-", u"音量-", 0xEA},
}};

constexpr std::array<UsageEntry, kWindowsFunctionCount> kWindowsFunctions{{
    {u"Multimedia Player", u"打开多媒体播放器", u"打開多媒體播放器", 0x0183},
    {u"Mail", u"邮件", u"郵件", 0x018A},
    {u"Calculator", u"计算器", u"計算器", 0x0192},
    {u"My Computer", u"我的电脑", u"我的電腦", 0x0194},
    {u"Browser-Search", u"浏览器-搜索", u"瀏覽器-搜索", 0x0221},
    {u"Browser-Home", u"浏览器-主页", u"瀏覽器-主頁", 0x0223},
    {u"Browser-Back", u"浏览器-后退", u"瀏覽器-後退", 0x0224},
    {u"Browser-Forward", u"浏览器-前进", u"瀏覽器-前進", 0x0225},
    {u"Browser-Stop", u"浏览器-停止", u"瀏覽器-停止", 0x0226},
    {u"Browser-Refresh", u"浏览器-刷新", u"瀏覽器-刷新", 0x0227},
    {u"Browser-My Favorites", u"浏览器-收藏夹", u"瀏覽器-我的最愛", 0x022A},
}};

std::uint8_t findCode(std::span<const KeyNameEntry> table, std::u16string_view name) {
    for (const auto& e : table) {
        if (e.name == name) {
            return e.code;
        }
    }
    return 0;
}

} // namespace

std::span<const KeyNameEntry> keyNameTable() {
    return kKeyNames;
}
std::span<const KeyNameEntry> modifierTable() {
    return kModifiers;
}
std::span<const FireKeyEntry> fireKeyTable() {
    return kFireKeys;
}
std::span<const UsageEntry> mediaTable() {
    return kMedia;
}
std::span<const UsageEntry> windowsFunctionTable() {
    return kWindowsFunctions;
}

std::uint8_t keyCodeOfName(std::u16string_view name) {
    return findCode(kKeyNames, name);
}

std::optional<std::u16string_view> keyNameOfCode(std::uint8_t code) {
    for (const auto& e : kKeyNames) {
        if (e.code == code) {
            return e.name;
        }
    }
    return std::nullopt;
}

std::u16string_view usageText(const UsageEntry& entry, Language language) {
    return LanguageTexts{entry.english, entry.simplifiedChinese, entry.traditionalChinese}.in(
        language);
}

std::optional<std::u16string_view> dpiSwitchName(std::uint8_t code) {
    if (code < 1 || code > kDpiSwitchNames.size()) {
        return std::nullopt;
    }
    return kDpiSwitchNames[code - 1];
}

std::uint8_t modifierBitOfName(std::u16string_view name) {
    return findCode(kModifiers, name);
}

std::uint8_t fireKeyCode(std::size_t position) {
    return position < kFireKeys.size() ? kFireKeys[position].code : 0;
}

std::uint8_t mediaUsage(std::size_t position) {
    return position < kMedia.size() ? static_cast<std::uint8_t>(kMedia[position].usage) : 0;
}

std::uint8_t windowsUsageLow(std::size_t position) {
    return position < kWindowsFunctions.size()
               ? static_cast<std::uint8_t>(kWindowsFunctions[position].usage & 0xFF)
               : 0;
}

std::uint8_t windowsUsageHigh(std::size_t position) {
    // Positions 0..3 are in the 0x01xx application-launch range, 4..10 in 0x02xx browser controls.
    if (position <= 3) {
        return 1;
    }
    return position <= 10 ? 2 : 0;
}

} // namespace qor
