#include "macro/macro_file.h"
#include "macro/macro_slot_bytes.h"
#include "macro_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace qor {
namespace {

using test::items16;
using test::sectionText;
using test::slotBytes;
using test::slotOf;
using test::utf8List;

class MacroFileTest : public ::testing::Test {
protected:
    test::ScratchDir dir;
    std::filesystem::path ini = dir.path() / "record.ini";
    IniEngine engine;
    MacroFile file{engine, ini};
};

std::u16string nameList(std::initializer_list<std::u16string_view> names) {
    std::u16string buffer;
    for (auto n : names) {
        buffer.append(n);
        buffer.push_back(0);
    }
    buffer.push_back(0);
    buffer.resize(1024, 0);
    return buffer;
}

TEST(SectionWalkTest, WalksTheFirst255Characters) {
    const std::u16string n31(31, u'x');
    const std::u16string n30(30, u'y');
    const struct {
        const char* what;
        std::u16string buffer;
        std::size_t seen;
    } cases[] = {
        {"empty list", nameList({}), 0},
        {"three names", nameList({u"a", u"bb", u"ccc"}), 3},
        {"twelve names of 31: the eighth ends on position 255",
         nameList({n31, n31, n31, n31, n31, n31, n31, n31, n31, n31, n31, n31}), 7},
        // Seven of 31 end at 223; a name of 30 after them ends on 254, still inside.
        {"a name ending on position 254", nameList({n31, n31, n31, n31, n31, n31, n31, n30}), 8},
        {"a buffer without the final zeros", std::u16string(300, u'z'), 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(walkSectionList(c.buffer).size(), c.seen) << c.what;
    }
    EXPECT_EQ(utf8List(walkSectionList(nameList({u"a", u"bb", u"ccc"}))),
              (std::vector<std::string>{"a", "bb", "ccc"}));
}

TEST_F(MacroFileTest, ReadsWhatTheFileHolds) {
    EXPECT_TRUE(file.listMacros().empty()); // no file
    test::writeFile(ini,
                    "[One]\r\nMacroLoopTimes=7\r\nItemCount=3\r\nItem0=A   Dn\r\nItem2=50 ms\r\n"
                    "[Two]\r\nItemCount=abc\r\nItem0=B   Dn\r\n"
                    "[Three]\r\nItemCount=0\r\nItem0=C   Dn\r\n"
                    "[Four]\r\nItemCount=-2\r\n");
    EXPECT_EQ(utf8List(file.listMacros()),
              (std::vector<std::string>{"One", "Two", "Three", "Four"}));
    EXPECT_EQ(file.readLoopText(u"one"), u"7"); // names ignore letter case
    EXPECT_EQ(file.readLoopText(u"Two"), u"");
    EXPECT_EQ(file.readItems(u"One"), items16({"A   Dn", "", "50 ms"}));
    EXPECT_TRUE(file.readItems(u"Two").empty());
    EXPECT_TRUE(file.readItems(u"Three").empty());
    EXPECT_TRUE(file.readItems(u"Four").empty());
    EXPECT_TRUE(file.readItems(u"Missing").empty());
}

TEST_F(MacroFileTest, SaveRewritesTheSectionAtTheEnd) {
    file.saveMacro(u"First", u"2", items16({"A   Dn", "50 ms"}));
    file.saveMacro(u"Second", u"1", items16({"B   Dn"}));
    file.saveMacro(u"first", u"9", items16({"C   Up", "70 ms", "C   Dn"}));
    EXPECT_EQ(test::iniFileText(ini), sectionText("Second", "1", {"B   Dn"}) +
                                          sectionText("first", "9", {"C   Up", "70 ms", "C   Dn"}));
    // A shorter save leaves no stale items behind.
    file.saveMacro(u"Second", u"3", {});
    EXPECT_EQ(test::iniFileText(ini), sectionText("first", "9", {"C   Up", "70 ms", "C   Dn"}) +
                                          sectionText("Second", "3", {}));
    file.writeLoopCount(u"FIRST", 65535);
    file.writeLoopCount(u"Third", 4);
    EXPECT_EQ(test::iniFileText(ini), sectionText("first", "65535", {"C   Up", "70 ms", "C   Dn"}) +
                                          sectionText("Second", "3", {}) +
                                          "[Third]\r\nMacroLoopTimes=4\r\n");
    file.deleteMacro(u"second");
    file.deleteMacro(u"never there");
    EXPECT_EQ(utf8List(file.listMacros()), (std::vector<std::string>{"first", "Third"}));
}

TEST_F(MacroFileTest, ChineseNamesSurviveARestart) {
    const std::u16string name = u"连招宏一";
    file.saveMacro(name, u"3", items16({"A   Dn", "50 ms", "A   Up"}));
    {
        const IniEngine another; // a new process reads the file afresh
        const MacroFile again(another, ini);
        ASSERT_EQ(again.listMacros(), std::vector<std::u16string>{name});
        EXPECT_EQ(again.readLoopText(name), u"3");
        EXPECT_EQ(again.readItems(name), items16({"A   Dn", "50 ms", "A   Up"}));
    }
    const std::string bytes = test::readFile(ini);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
}

class MacroSlotBytesTest : public MacroFileTest {
protected:
    SettingsRecord record{};
};

TEST_F(MacroSlotBytesTest, WithoutRecordIniNothingChanges) {
    test::fillSlot(record, 0, 0x5A);
    EXPECT_EQ(rebuildMacroSlotBytes(file, record), 0u);
    EXPECT_EQ(record.macroSlot(0)[100], 0x5A);
    EXPECT_FALSE(std::filesystem::exists(ini));
}

TEST_F(MacroSlotBytesTest, EncodesEachSectionIntoItsSlot) {
    for (std::size_t k = 0; k < kMacroCount; ++k) {
        test::fillSlot(record, k, 0xEE);
    }
    test::writeFile(ini, sectionText("Plain", "3", {"A   Dn", "50 ms", "A   Up", "1300 ms"}) +
                             sectionText("Zero", "5", {}) + // ItemCount 0
                             "[Negative]\r\nMacroLoopTimes=300\r\nItemCount=-1\r\n" +
                             sectionText("BadLoop", "70000", {"B   Up"}) + // loop 1
                             "[NoLoop]\r\nItemCount=2\r\nItem0=C   Dn\r\nItem1=20 ms\r\n" +
                             // The item after the count lends the last event its delay.
                             "[Beyond]\r\nMacroLoopTimes=2\r\nItemCount=1\r\nItem0=D   Dn\r\n"
                             "Item1=80 ms\r\n");
    EXPECT_EQ(rebuildMacroSlotBytes(file, record), 6u);
    EXPECT_EQ(slotBytes(record, 0), slotOf({0x00, 0x03, 0x05, 0x04, 0x80, 0x04, 0x0D, 0x03}));
    EXPECT_EQ(slotBytes(record, 1), slotOf({})); // the loop count goes too
    test::SlotBytes negative{};
    negative.fill(0xEE);
    negative[0] = 0x01;
    negative[1] = 0x2C;
    EXPECT_EQ(slotBytes(record, 2), negative);
    EXPECT_EQ(slotBytes(record, 3), slotOf({0x00, 0x01, 0x80, 0x05}));
    EXPECT_EQ(slotBytes(record, 4), slotOf({0x00, 0x01, 0x02, 0x06}));
    EXPECT_EQ(slotBytes(record, 5), slotOf({0x00, 0x02, 0x08, 0x07}));
    for (std::size_t k = 6; k < kMacroCount; ++k) {
        EXPECT_EQ(record.macroSlot(k)[0], 0xEE) << "slot " << k << " has no section";
    }
}

TEST_F(MacroSlotBytesTest, TwelveLongNamesShowOnlySeven) {
    std::string text;
    for (int k = 0; k < 12; ++k) {
        std::string name(31, static_cast<char>('a' + k));
        text += sectionText(name, std::to_string(k + 1), {"A   Dn", "50 ms"});
    }
    test::writeFile(ini, text);
    for (std::size_t k = 0; k < kMacroCount; ++k) {
        test::fillSlot(record, k, 0xEE);
    }
    EXPECT_EQ(file.listMacros().size(), 7u);
    EXPECT_EQ(rebuildMacroSlotBytes(file, record), 7u);
    EXPECT_EQ(slotBytes(record, 6), slotOf({0x00, 0x07, 0x05, 0x04}));
    EXPECT_EQ(record.macroSlot(7)[0], 0xEE);
}

TEST_F(MacroSlotBytesTest, SectionsPastTheTwelfthAreIgnored) {
    std::string text;
    for (int k = 0; k < 14; ++k) {
        // Not "m" + std::to_string(k): GCC 12 at -O3 reports a false -Wrestrict on it here.
        std::string name = "m";
        name += std::to_string(k);
        text += sectionText(name, std::to_string(k + 1), {"A   Dn", "50 ms"});
    }
    test::writeFile(ini, text);
    record.reserved1920.fill(0x77);
    record.dpiLevel.fill(0x66);
    EXPECT_EQ(rebuildMacroSlotBytes(file, record), 12u);
    EXPECT_EQ(slotBytes(record, 11), slotOf({0x00, 12, 0x05, 0x04}));
    for (auto b : record.reserved1920) {
        EXPECT_EQ(b, 0x77);
    }
    for (auto b : record.dpiLevel) {
        EXPECT_EQ(b, 0x66);
    }
}

TEST_F(MacroSlotBytesTest, ASaveMovesTheMacroToTheLastSlot) {
    file.saveMacro(u"A", u"1", items16({"A   Dn", "50 ms"}));
    file.saveMacro(u"B", u"1", items16({"B   Dn", "50 ms"}));
    rebuildMacroSlotBytes(file, record);
    EXPECT_EQ(slotBytes(record, 0), slotOf({0x00, 0x01, 0x05, 0x04}));
    file.saveMacro(u"A", u"2", items16({"A   Up", "50 ms"}));
    rebuildMacroSlotBytes(file, record);
    EXPECT_EQ(slotBytes(record, 0), slotOf({0x00, 0x01, 0x05, 0x05}));
    EXPECT_EQ(slotBytes(record, 1), slotOf({0x00, 0x02, 0x85, 0x04}));
}

TEST_F(MacroSlotBytesTest, ALargeFileIsReadInLinearTime) {
    // Twelve long sections: every item lookup used to scan the lines before it.
    std::string text;
    for (int m = 1; m <= 12; ++m) {
        text += "[M" + std::to_string(m) + "]\r\nMacroLoopTimes=1\r\nItemCount=6000\r\n";
        for (int i = 0; i < 6000; ++i) {
            text += "Item" + std::to_string(i) + (i % 2 ? "=5 ms\r\n" : "=A   Dn\r\n");
        }
    }
    test::writeFile(ini, text);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(rebuildMacroSlotBytes(file, record), 12u);
    const MacroFileView view = file.read();
    for (const auto& name : view.macroNames()) {
        EXPECT_EQ(view.items(name).size(), static_cast<std::size_t>(kMacroItemsReadMax));
    }
    // Generous for a sanitizer build on a busy machine; the scans took minutes.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(view.item(u"m12", 5999), u"5 ms");
}

TEST_F(MacroSlotBytesTest, AHugeItemCountEndsAtTheReadLimit) {
    test::writeFile(ini, "[Huge]\r\nItemCount=2000000000\r\nItem0=A   Dn\r\n");
    EXPECT_EQ(rebuildMacroSlotBytes(file, record), 1u);
    EXPECT_EQ(slotBytes(record, 0), slotOf({0x00, 0x01, 0x00, 0x04}));
    EXPECT_EQ(file.readItems(u"Huge").size(), static_cast<std::size_t>(kMacroItemsReadMax));
}

} // namespace
} // namespace qor
