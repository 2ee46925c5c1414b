#include "profile/profile_format.h"

#include "base/text_utf8.h"
#include "macro/macro_file.h"
#include "support/scratch_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace qor {
namespace {

SettingsRecord randomRecord(std::mt19937& rng) {
    SettingsRecord r{};
    for (auto& b : recordBytes(r)) {
        b = static_cast<std::uint8_t>(rng());
    }
    return r;
}

// Texts of the kinds people and the program put into record.ini: blanks inside and at either
// end, quotes, '=', ';', backslashes, Chinese.
std::u16string randomText(std::mt19937& rng, std::size_t maxLength, bool name) {
    static const std::u16string pieces[] = {u"A", u"   Dn", u"   Up", u"50 ms", u" ",  u"\"",
                                            u"=", u";",     u"\\",    u"宏",    u"x]", u"#"};
    std::u16string text;
    const std::size_t n = rng() % 6;
    for (std::size_t i = 0; i < n; ++i) {
        text += pieces[rng() % std::size(pieces)];
    }
    if (name) {
        std::erase(text, u']');
        while (!text.empty() && text.front() == u' ') {
            text.erase(0, 1);
        }
        while (!text.empty() && text.back() == u' ') {
            text.pop_back();
        }
        text = u"M" + text; // never empty; the caller makes it unique
    }
    return text.substr(0, maxLength);
}

std::vector<ProfileMacro> randomMacros(std::mt19937& rng) {
    std::vector<ProfileMacro> macros(rng() % 4);
    for (std::size_t i = 0; i < macros.size(); ++i) {
        macros[i].name = randomText(rng, 28, true) + utf8ToUtf16(std::to_string(i));
        macros[i].loopText = randomText(rng, 40, false);
        macros[i].lines.resize(rng() % 5);
        for (auto& line : macros[i].lines) {
            line = randomText(rng, 60, false);
        }
    }
    return macros;
}

TEST(Profile, RandomRecordsAndMacrosComeBackByteForByte) {
    std::mt19937 rng(13);
    for (int round = 0; round < 300; ++round) {
        Profile profile{randomRecord(rng), randomMacros(rng)};
        const auto sensorType = static_cast<std::uint8_t>(rng() % 6);
        const std::string text = formatProfile(profile, sensorType);
        SettingsRecord base{};
        std::fill(recordBytes(base).begin(), recordBytes(base).end(), std::uint8_t{0xA5});
        const ProfileReadResult read = parseProfile(text, base);
        ASSERT_TRUE(read.profile.has_value()) << "line " << read.line << ": " << read.error;
        const auto before = recordBytes(profile.record);
        const auto after = recordBytes(read.profile->record);
        ASSERT_TRUE(std::equal(before.begin(), before.end(), after.begin())) << text;
        ASSERT_EQ(read.profile->macros, profile.macros) << text;
    }
}

// A record as the program leaves it: every choice one of its lists offers.
TEST(Profile, SettingsTheProgramMakesAreWrittenByName) {
    std::mt19937 rng(7);
    SettingsRecord r{};
    for (ButtonTable* t : {&r.modeA, &r.modeB}) {
        for (std::size_t k = 0; k < kButtonSlots; ++k) {
            t->function[k] = static_cast<std::uint8_t>(rng() % 16);
            t->mediaChoice[k] = static_cast<std::uint8_t>(rng() % 7);
            t->windowsChoice[k] = static_cast<std::uint8_t>(rng() % 11);
            t->fireChoice[k] = static_cast<std::uint8_t>(rng() % 61);
            t->macroIndex[k] = static_cast<std::uint8_t>(rng() % 12);
            t->macroLoopMode[k] = static_cast<std::uint8_t>(rng() % 3);
            t->singleKey[k] = 0x04; // A
            t->comboModifiers[k] = 0x01;
            t->fireKey[k] = t->comboKey1[k] = t->comboKey2[k] = 0x28; // Enter
        }
    }
    for (std::size_t s = 0; s < kDpiStages; ++s) {
        r.dpiLevel[s] = static_cast<std::uint8_t>(rng() % 8);
        r.dpiStageOn[s] = static_cast<std::uint8_t>(rng() % 2);
    }
    r.dpiSwitchA.fill(3);
    r.dpiSwitchB.fill(4);
    r.ledMode = 3;
    r.ledBrightness = 9;
    r.ledBreathSpeed = 4;
    r.ledNeonSpeed = 29;
    r.ledEffect = {1, 2, 4};
    const std::string text = formatProfile(Profile{r, {}}, 1);
    EXPECT_EQ(text.find("= raw"), std::string::npos) << text;
    EXPECT_NE(text.find("Stage1Level = "), std::string::npos);
}

TEST(Profile, RecordIniMacrosComeBackByteForByte) {
    test::ScratchDir dir;
    const IniEngine engine;
    const MacroFile file(engine, dir.path() / "record.ini");
    file.saveMacro(u"Reload", u"3", {u"R   Dn", u"50 ms", u"R   Up"});
    file.saveMacro(u"连发", u"1", {});
    file.saveMacro(u"  spaced  ", u" 7", {u"A   Dn", u"A   Up"});
    const std::string before = test::readFile(dir.path() / "record.ini");
    auto document = engine.load(dir.path() / "record.ini");
    ASSERT_TRUE(document.has_value());
    const auto macros = macrosOfDocument(*document);
    ASSERT_EQ(macros.size(), 3u);
    EXPECT_EQ(macros[1].name, u"连发");
    EXPECT_EQ(macros[2].lines, (std::vector<MacroItem>{u"A   Dn", u"A   Up"}));

    const auto read = parseProfile(formatProfile(Profile{SettingsRecord{}, macros}, 1), {});
    ASSERT_TRUE(read.profile.has_value()) << read.error;
    replaceMacros(*document, read.profile->macros);
    EXPECT_EQ(document->bytes(), before);
}

TEST(Profile, ReplacedMacrosLeaveWhatIsNoMacro) {
    // Lines before the first section and sections named "" are no macros; every named section
    // is, duplicates included.
    IniDocument document = IniDocument::parse("; kept\r\n[A]\r\nItemCount=0\r\n[]\r\nx=1\r\n"
                                              "[a]\r\nItemCount=1\r\nItem0=B   Dn\r\n[C]");
    replaceMacros(document, {{u"New", u"2", {u"N   Dn", u"N   Up"}}, {u"a", u"", {}}});
    EXPECT_EQ(document.bytes(), "; kept\r\n[]\r\nx=1\r\n"
                                "[New]\r\nMacroLoopTimes=2\r\nItemCount=2\r\n"
                                "Item0=N   Dn\r\nItem1=N   Up\r\n"
                                "[a]\r\nMacroLoopTimes=\r\nItemCount=0\r\n");
}

TEST(Profile, EveryMacroOfALargeRecordIniComesBack) {
    // More names than fit the million characters of a section-name buffer.
    std::string text;
    const std::size_t count = 1100;
    for (std::size_t i = 0; i < count; ++i) {
        // Appended piece by piece: GCC 12 at -O3 warns falsely on `"[" + std::string(...)`.
        text += '[';
        text += std::to_string(100000 + i);
        text.append(994, 'm');
        text += "]\r\nMacroLoopTimes=1\r\nItemCount=1\r\nItem0=";
        text += std::to_string(i);
        text += " ms\r\n";
    }
    IniDocument document = IniDocument::parse(text);
    const auto macros = macrosOfDocument(document);
    ASSERT_EQ(macros.size(), count);
    EXPECT_EQ(macros.back().name, u"101099" + std::u16string(994, u'm'));
    EXPECT_EQ(macros.back().lines, std::vector<MacroItem>{u"1099 ms"});
    replaceMacros(document, macros);
    EXPECT_EQ(document.bytes(), text);
}

TEST(Profile, RefusalsNameTheLine) {
    const std::string good = formatProfile(Profile{SettingsRecord{}, {}}, 1);
    // The line of the first occurrence of `what`, 1-based.
    const auto lineOf = [&](const std::string& what) {
        const std::size_t at = good.find(what);
        EXPECT_NE(at, std::string::npos) << what;
        return static_cast<std::size_t>(std::count(good.begin(), good.begin() + at, '\n')) + 1;
    };
    const auto replaced = [&](const std::string& what, const std::string& with) {
        std::string text = good;
        text.replace(text.find(what), what.size(), with);
        return text;
    };
    struct Case {
        std::string text;
        std::size_t line;
        std::string error;
    };
    const std::string slot = "Slot1 = " + std::string(256, '0');
    const Case cases[] = {
        {replaced("[General]", "[Generals]"), lineOf("[General]"), "unknown section"},
        {replaced("Function = Left Click", "Fnction = Left Click"), lineOf("Function = Left Click"),
         "unknown name 'Fnction'"},
        {replaced("Function = Left Click", "Function = Left Clck"), lineOf("Function = Left Click"),
         "not one of its names"},
        {replaced("Function = Left Click", "Function = raw 256"), lineOf("Function = Left Click"),
         "'raw' takes a byte"},
        {replaced("FireSpeed = 0", "FireSpeed = 300"), lineOf("FireSpeed = 0"), "0 to 255"},
        {replaced("Macro = 1", "Macro = 13"), lineOf("Macro = 1"), "1 to 12"},
        {replaced("Macro = 1", "Macro = 0"), lineOf("Macro = 1"), "1 to 12"},
        {replaced("MacroLoopMode = 1", "MacroLoopMode = 4"), lineOf("MacroLoopMode = 1"), "1 to 3"},
        {replaced("Stage1Level = 600", "Stage1Level = 650"), lineOf("Stage1Level = 600"),
         "not a DPI value"},
        {replaced("Stage1Colour = #000000", "Stage1Colour = #00000"),
         lineOf("Stage1Colour = #000000"), "#rrggbb"},
        {replaced("Stage1Colour = #000000", "Stage1Colour = #0000g0"),
         lineOf("Stage1Colour = #000000"), "#rrggbb"},
        {replaced("WindowsUsage = 0x0000", "WindowsUsage = 0x10000"),
         lineOf("WindowsUsage = 0x0000"), "16-bit"},
        {replaced(slot, "Slot1 = " + std::string(254, '0')), lineOf(slot), "not 127"},
        {replaced(slot, "Slot1 = " + std::string(255, '0')), lineOf(slot), "128 bytes in hex"},
        {replaced("SensorType = 1", "SensorType = 256"), lineOf("SensorType = 1"), "0 to 255"},
        {replaced("FireTimes = 0", "FireTimes = 0\nFireTimes = 1"), lineOf("FireTimes = 0") + 1,
         "given twice"},
        {good + "[Pointer]\n",
         static_cast<std::size_t>(std::count(good.begin(), good.end(), '\n')) + 1,
         "[Pointer] given twice"},
        {replaced("ActiveKeySet = A", "ActiveKeySet A"), lineOf("ActiveKeySet = A"),
         "not 'Name = value'"},
        {"Function = Left Click\n", 1, "before the first section"},
        {"[Macro]\nLoop = 1\n", 1, "without a Name"},
        {"[Macro]\nName = a]b\n", 2, "section name"},
        {"[Macro]\nName = Spray\n\n[Macro]\nName = spray\n", 4, "second macro"},
        // The INI file compares names beyond ASCII without case too.
        {"[Macro]\nName = \xC3\x89t\xC3\xA9\n\n[Macro]\nName = \xC3\xA9T\xC3\x89\n", 4,
         "second macro"},
        {"[Macro]\nName = \"Spray\n", 2, "not closed"},
        {"[Macro]\nName = Spray\nLine = \"A\\x0d\"\n", 3, "control character"},
        {"[Macro]\nName = " + std::string(32, 'N') + "\n", 2, "longer than 31"},
        {"[Macro]\nName = Spray\nSpeed = 3\n", 3, "unknown name 'Speed'"},
    };
    for (const auto& c : cases) {
        const ProfileReadResult read = parseProfile(c.text, SettingsRecord{});
        EXPECT_FALSE(read.profile.has_value()) << c.error;
        EXPECT_EQ(read.line, c.line) << c.error << ": " << read.error;
        EXPECT_NE(read.error.find(c.error), std::string::npos) << read.error;
    }
}

TEST(Profile, SettingsLeftOutKeepTheirValues) {
    SettingsRecord base{};
    base.ledMode = 2;
    base.dpiColor[0] = 0x12;
    const auto read = parseProfile("; only the key set\r\n[General]\r\nActiveKeySet = B\r\n", base);
    ASSERT_TRUE(read.profile.has_value()) << read.error;
    SettingsRecord expected = base;
    expected.activeMode = 1;
    const auto a = recordBytes(read.profile->record);
    const auto b = recordBytes(expected);
    EXPECT_TRUE(std::equal(a.begin(), a.end(), b.begin()));
    EXPECT_TRUE(read.profile->macros.empty());
}

} // namespace
} // namespace qor
