#include "macro/macro_editor.h"
#include "macro/macro_recorder.h"
#include "macro/macro_slot_bytes.h"
#include "macro/pair_gauge.h"
#include "macro_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qor {
namespace {

using test::items16;
using test::sectionText;
using test::ShownMessage;
using test::slotBytes;
using test::slotOf;
using test::utf8List;

class NoHook final : public RecorderHost {
public:
    std::optional<std::uint32_t> installKeyboardHook() override { return std::nullopt; }
    void removeKeyboardHook() override {}
    void setWindowTitle(std::u16string_view) override {}
    void restoreWindowTitle() override {}
    void sendRecorderMessage(std::uintptr_t wParam, std::intptr_t lParam) override {
        recorder->onRecorderMessage(wParam, lParam);
    }
    void postRecorderMessage(std::uintptr_t wParam, std::intptr_t lParam) override {
        recorder->onRecorderMessage(wParam, lParam);
    }
    MacroRecorder* recorder = nullptr;
};

class MacroEditorTest : public ::testing::Test {
protected:
    test::ScratchDir dir;
    std::filesystem::path ini = dir.path() / "record.ini";
    IniEngine engine;
    MacroFile file{engine, ini};
    SettingsRecord record{};
    test::RecordingSink sink;
    MacroEditor editor{file, record, sink};

    std::string fileText() const { return test::iniFileText(ini); }
    std::vector<std::string> sequence() const { return utf8List(editor.sequence()); }
    std::vector<std::string> macros() const { return utf8List(editor.macroList()); }
    void seed(const std::string& text) {
        test::writeFile(ini, text);
        rebuildMacroSlotBytes(file, record);
    }
    void setSequence(std::initializer_list<const char*> lines) {
        editor.clearSequence();
        for (const char* line : lines) {
            editor.appendLine(utf8ToUtf16(line));
        }
        editor.selectLine(std::nullopt);
    }
};

TEST_F(MacroEditorTest, FromNothingToAConfirmedMacroAndBack) {
    editor.showPage();
    EXPECT_TRUE(editor.macroList().empty());
    EXPECT_EQ(editor.loopBox(), u"1"); // an empty loop box turns into 1
    EXPECT_FALSE(std::filesystem::exists(ini));

    // New: only the list changes.
    editor.setNameBox(u"Combo");
    editor.newMacro();
    EXPECT_EQ(macros(), std::vector<std::string>{"Combo"});
    EXPECT_EQ(editor.selectedMacro(), 0u);
    EXPECT_FALSE(std::filesystem::exists(ini));

    // Record A and B.
    NoHook host;
    MacroRecorder recorder(editor, host, sink);
    host.recorder = &recorder;
    recorder.startRecording();
    recorder.hookProc(0, 'A', u"A", 0);
    recorder.hookProc(0, 'A', u"A", kKeyWasDownBit); // auto-repeat
    recorder.hookProc(0, 'A', u"A", kKeyReleasedBit | kKeyWasDownBit);
    recorder.hookProc(0, 'B', u"B", 0);
    recorder.hookProc(0, 'B', u"B", kKeyReleasedBit | kKeyWasDownBit);
    recorder.stopRecording();
    EXPECT_EQ(sequence(), (std::vector<std::string>{"A   Dn", "50 ms", "A   Up", "50 ms", "B   Dn",
                                                    "50 ms", "B   Up"}));
    EXPECT_FALSE(std::filesystem::exists(ini)); // recording never writes

    // Insert a click after the last event, then make the first pause 1.3 s.
    editor.selectLine(6);
    editor.insertMouseEvent(0);
    EXPECT_EQ(editor.selectedLine(), 8u);
    EXPECT_EQ(editor.eventFace(), u"L-Button Click");
    editor.selectLine(1);
    editor.editSelectedDelay([] { return delayEntryFromText(u"1300"); });
    const std::vector<std::string> lines = {"A   Dn",        "1300 ms", "A   Up",       "50 ms",
                                            "B   Dn",        "50 ms",   "B   Up",       "50 ms",
                                            "L-Button   Dn", "50 ms",   "L-Button   Up"};
    EXPECT_EQ(sequence(), lines);
    EXPECT_EQ(editor.pairUsage().needed, 7u);
    EXPECT_EQ(editor.pairUsage().left, 56u);

    // The loop box writes the section at once; Confirm writes the items and rebuilds.
    editor.setLoopBox(u"5");
    EXPECT_EQ(fileText(), "[Combo]\r\nMacroLoopTimes=5\r\n");
    EXPECT_EQ(slotBytes(record, 0), slotOf({0x00, 0x05}));
    editor.confirm();
    EXPECT_EQ(fileText(), sectionText("Combo", "5", lines));
    const test::SlotBytes combo = slotOf({0x00, 0x05, 0x00, 0x04, 0x0D, 0x03, 0x85, 0x04, 0x05,
                                          0x05, 0x85, 0x05, 0x05, 0xF0, 0x80, 0xF0});
    EXPECT_EQ(slotBytes(record, 0), combo);

    // Delete removes the section but not the slot.
    editor.deleteMacro();
    EXPECT_TRUE(editor.macroList().empty());
    EXPECT_TRUE(editor.sequence().empty());
    EXPECT_EQ(editor.nameBox(), u"");
    EXPECT_EQ(editor.loopBox(), u"5");
    EXPECT_FALSE(editor.selectedMacro());
    EXPECT_EQ(fileText(), "");
    EXPECT_EQ(slotBytes(record, 0), combo);

    editor.showPage();
    EXPECT_TRUE(editor.macroList().empty());
}

TEST_F(MacroEditorTest, TheRebuiltPageShowsTheFileAndTheImages) {
    seed(sectionText("Alpha", "3", {"A   Dn", "50 ms", "A   Up"}) +
         sectionText("Beta", "7", {"B   Dn", "90 ms"}));
    macroSlotOf(record, 0)[1] = 4; // the page's loop box shows the slot, not the file
    editor.showPage();
    EXPECT_EQ(macros(), (std::vector<std::string>{"Alpha", "Beta"}));
    EXPECT_EQ(editor.selectedMacro(), 0u);
    EXPECT_EQ(editor.nameBox(), u"Alpha");
    EXPECT_EQ(sequence(), (std::vector<std::string>{"A   Dn", "50 ms", "A   Up"}));
    EXPECT_EQ(editor.loopBox(), u"4");
    EXPECT_EQ(editor.acceptedLoopText(), u"4");
    EXPECT_EQ(file.readLoopText(u"Alpha"), u"4"); // the loop box handler wrote it

    editor.selectMacro(1);
    EXPECT_EQ(editor.nameBox(), u"Beta");
    EXPECT_EQ(sequence(), (std::vector<std::string>{"B   Dn", "90 ms"}));
    EXPECT_EQ(editor.loopBox(), u"7");

    // Confirming Alpha moves its section to the end; the list follows the file, so that the
    // loop box keeps addressing the slot of the macro it shows.
    editor.selectMacro(0);
    editor.selectLine(2);
    editor.insertMouseEvent(5); // "R-Button   Dn" after an event
    editor.confirm();
    EXPECT_EQ(fileText(), sectionText("Beta", "7", {"B   Dn", "90 ms"}) +
                              sectionText("Alpha", "4",
                                          {"A   Dn", "50 ms", "A   Up", "50 ms", "R-Button   Dn"}));
    EXPECT_EQ(macros(), (std::vector<std::string>{"Beta", "Alpha"}));
    EXPECT_EQ(editor.selectedMacro(), 1u);
    EXPECT_EQ(slotBytes(record, 0), slotOf({0x00, 0x07, 0x09, 0x05}));
    EXPECT_EQ(slotBytes(record, 1), slotOf({0x00, 0x04, 0x05, 0x04, 0x85, 0x04, 0x00, 0xF1}));
    editor.setLoopBox(u"9");
    EXPECT_EQ(record.macroSlot(1)[1], 9);
    EXPECT_EQ(record.macroSlot(0)[1], 7);
}

TEST_F(MacroEditorTest, ConfirmWithAnEmptySequenceClearsOnlyTheSlot) {
    seed(sectionText("One", "2", {"A   Dn", "50 ms"}) + sectionText("Two", "3", {"B   Dn"}));
    editor.showPage();
    editor.selectMacro(1);
    editor.clearSequence();
    const std::string before = test::readFile(ini);
    editor.confirm();
    EXPECT_EQ(test::readFile(ini), before);
    EXPECT_EQ(slotBytes(record, 1), slotOf({}));
    EXPECT_EQ(slotBytes(record, 0), slotOf({0x00, 0x02, 0x05, 0x04}));
}

TEST_F(MacroEditorTest, StaleSlotsStayAfterDeletions) {
    seed(sectionText("One", "1", {"A   Dn"}) + sectionText("Two", "1", {"B   Dn"}) +
         sectionText("Three", "1", {"C   Dn"}));
    editor.showPage();
    editor.deleteMacro(); // One
    editor.selectMacro(0);
    editor.deleteMacro(); // Two
    EXPECT_EQ(macros(), std::vector<std::string>{"Three"});
    editor.selectMacro(0);
    editor.confirm();
    EXPECT_EQ(slotBytes(record, 0), slotOf({0x00, 0x01, 0x00, 0x06}));
    EXPECT_EQ(slotBytes(record, 1), slotOf({0x00, 0x01, 0x00, 0x05})); // Two's old slot
    EXPECT_EQ(slotBytes(record, 2), slotOf({0x00, 0x01, 0x00, 0x06})); // Three's old slot
}

TEST_F(MacroEditorTest, NewRefusesWithTheRightMessages) {
    editor.showPage();
    editor.newMacro();
    editor.setNameBox(u"   ");
    editor.newMacro();
    for (int k = 0; k < 12; ++k) {
        editor.setNameBox(u"m" + formatDecimal(k));
        editor.newMacro();
    }
    editor.setNameBox(u"m12");
    editor.newMacro();
    editor.selectMacro(0);
    editor.deleteMacro();
    editor.setNameBox(u"M5"); // letter case does not make another name
    editor.newMacro();
    EXPECT_EQ(sink.shown, (std::vector<ShownMessage>{{"Macro name is blank", "Qor"},
                                                     {"Macro name is blank", "Qor"},
                                                     {"Macro numbers up to 12.", "Warning"},
                                                     {"Macro name already exists", "Qor"}}));
    EXPECT_EQ(editor.macroList().size(), 11u);

    // Names keep to the 31 characters the section list holds.
    editor.setNameBox(u"  " + std::u16string(40, u'x') + u"  ");
    editor.newMacro();
    EXPECT_EQ(editor.macroList().back(), std::u16string(31, u'x'));
    EXPECT_EQ(editor.selectedMacro(), 11u);
    EXPECT_TRUE(editor.sequence().empty());
}

TEST_F(MacroEditorTest, AnUnconfirmedMacroLivesOnlyIfItsLoopWasWritten) {
    editor.showPage();
    editor.setNameBox(u"Kept");
    editor.newMacro();
    editor.setLoopBox(u"3");
    editor.setNameBox(u"Lost");
    editor.newMacro();
    EXPECT_EQ(fileText(), "[Kept]\r\nMacroLoopTimes=3\r\n");
    editor.showPage();
    EXPECT_EQ(macros(), std::vector<std::string>{"Kept"});
    EXPECT_TRUE(editor.sequence().empty());
}

TEST_F(MacroEditorTest, TheLoopBoxAcceptsOneTo65535) {
    seed(sectionText("Only", "2", {"A   Dn"}));
    editor.showPage();
    const struct {
        const char16_t* typed;
        const char16_t* box;
        std::uint8_t high;
        std::uint8_t low;
    } cases[] = {{u"0", u"1", 0, 1},           {u"", u"1", 0, 1},
                 {u"65536", u"1", 0, 1},       {u"65535", u"65535", 0xFF, 0xFF},
                 {u"300", u"300", 0x01, 0x2C}, {u"12x", u"12x", 0, 12}};
    for (const auto& c : cases) {
        editor.setLoopBox(c.typed);
        EXPECT_EQ(editor.loopBox(), c.box) << utf16ToUtf8(c.typed);
        EXPECT_EQ(record.macroSlot(0)[0], c.high) << utf16ToUtf8(c.typed);
        EXPECT_EQ(record.macroSlot(0)[1], c.low) << utf16ToUtf8(c.typed);
        EXPECT_EQ(file.readLoopText(u"Only"), formatDecimal((c.high << 8) | c.low));
    }
    // Without a selected macro the box only validates.
    editor.deleteMacro();
    editor.setLoopBox(u"77");
    EXPECT_EQ(record.macroSlot(0)[1], 12);
    EXPECT_FALSE(std::filesystem::exists(ini) && !file.listMacros().empty());
}

TEST_F(MacroEditorTest, InsertingMouseEvents) {
    const struct {
        const char* what;
        std::vector<const char*> before;
        std::optional<std::size_t> selected;
        std::size_t event;
        std::vector<std::string> after;
        std::optional<std::size_t> selectedAfter;
    } cases[] = {
        {"click into an empty list",
         {},
         std::nullopt,
         1,
         {"R-Button   Dn", "50 ms", "R-Button   Up", "50 ms"},
         std::nullopt},
        {"single event into an empty list",
         {},
         std::nullopt,
         7,
         {"M-Button   Dn", "50 ms"},
         std::nullopt},
        {"no selection in a filled list",
         {"A   Dn", "50 ms"},
         std::nullopt,
         0,
         {"A   Dn", "50 ms"},
         std::nullopt},
        {"click after a delay",
         {"A   Dn", "50 ms", "A   Up"},
         1,
         2,
         {"A   Dn", "50 ms", "M-Button   Dn", "50 ms", "M-Button   Up", "50 ms", "A   Up"},
         2},
        {"event after a delay",
         {"A   Dn", "50 ms"},
         1,
         4,
         {"A   Dn", "50 ms", "L-Button   Up", "50 ms"},
         2},
        {"click after an event",
         {"A   Dn", "50 ms", "A   Up"},
         0,
         0,
         {"A   Dn", "50 ms", "L-Button   Dn", "50 ms", "L-Button   Up", "50 ms", "A   Up"},
         2},
        {"event after the last event", {"A   Dn"}, 0, 8, {"A   Dn", "50 ms", "M-Button   Up"}, 2},
        {"an entry past the list", {"A   Dn"}, 0, 9, {"A   Dn"}, 0},
    };
    editor.showPage();
    editor.setNameBox(u"m");
    editor.newMacro();
    for (const auto& c : cases) {
        editor.clearSequence();
        for (const char* line : c.before) {
            editor.appendLine(utf8ToUtf16(line));
        }
        editor.selectLine(c.selected);
        editor.clickEventFace();
        EXPECT_TRUE(editor.eventListOpen());
        editor.insertMouseEvent(c.event);
        EXPECT_EQ(sequence(), c.after) << c.what;
        EXPECT_EQ(editor.selectedLine(), c.selectedAfter) << c.what;
        if (c.event < kMouseEvents.size()) {
            EXPECT_EQ(editor.eventFace(), kMouseEvents[c.event]) << c.what;
            EXPECT_FALSE(editor.eventListOpen()) << c.what;
        }
    }
    // Without a selected macro an empty list stays empty.
    editor.deleteMacro();
    editor.insertMouseEvent(0);
    EXPECT_TRUE(editor.sequence().empty());
    EXPECT_EQ(editor.eventFace(), u"L-Button Click");
}

TEST_F(MacroEditorTest, EditingDelaysAndDeletingLines) {
    editor.showPage();
    editor.setNameBox(u"m");
    editor.newMacro();
    const struct {
        const char* what;
        std::size_t line;
        std::optional<DelayEntry> entry; // nothing: Cancel
        const char* result;
        bool dialogRuns;
    } cases[] = {
        {"a delay", 1, delayEntryFromText(u"250"), "250 ms", true},
        {"10000 is the most", 1, delayEntryFromText(u"10000"), "10000 ms", true},
        {"10001 gives the default", 1, delayEntryFromText(u"10001"), "50 ms", true},
        {"an empty entry", 1, delayEntryFromText(u""), " ms", true},
        {"a negative entry gives the default", 1, DelayEntry{u"-20", -20}, "50 ms", true},
        {"Cancel", 1, std::nullopt, "30 ms", true},
        {"an event line opens no dialog", 0, delayEntryFromText(u"5"), "A   Dn", false},
    };
    for (const auto& c : cases) {
        setSequence({"A   Dn", "30 ms", "A   Up"});
        editor.selectLine(c.line);
        bool ran = false;
        editor.editSelectedDelay([&] {
            ran = true;
            return c.entry;
        });
        EXPECT_EQ(ran, c.dialogRuns) << c.what;
        EXPECT_EQ(utf16ToUtf8(editor.sequence()[c.line]), c.result) << c.what;
        EXPECT_EQ(editor.selectedLine(), c.line) << c.what;
    }
    setSequence({"A   Dn", "30 ms", "A   Up"});
    bool ran = false;
    editor.editSelectedDelay([&] {
        ran = true;
        return std::nullopt;
    });
    EXPECT_FALSE(ran); // nothing selected

    editor.selectLine(2);
    editor.deleteSelectedLine();
    EXPECT_EQ(sequence(), (std::vector<std::string>{"A   Dn", "30 ms"}));
    editor.deleteSelectedLine(); // nothing selected any more
    EXPECT_EQ(editor.sequence().size(), 2u);
}

TEST_F(MacroEditorTest, GaugeShowsThePairsAndWarnsOnceTheMacroWouldBeCut) {
    struct Case {
        int events;            // key events, each followed by a delay
        const char16_t* delay; // the delay after each event
        const char16_t* text;
        bool warning;
    };
    const Case cases[] = {
        {0, u"50 ms", u"0/63", false},    {1, u"50 ms", u"1/63", false},
        {63, u"50 ms", u"63/63", false},  {64, u"50 ms", u"64/63", true},
        {32, u"1300 ms", u"64/63", true}, {31, u"1300 ms", u"62/63", false},
    };
    editor.showPage();
    editor.setNameBox(u"m");
    editor.newMacro();
    for (const Case& c : cases) {
        editor.clearSequence();
        for (int i = 0; i < c.events; ++i) {
            editor.appendLine(i % 2 == 0 ? u"A   Dn" : u"A   Up");
            editor.appendLine(c.delay);
        }
        const Scene s = pairGaugeScene(editor.pairUsage());
        ASSERT_EQ(s.drawings.size(), 1u);
        const auto& text = std::get<SceneText>(s.drawings.front());
        EXPECT_EQ(text.text, c.text) << c.events;
        EXPECT_EQ(text.colour == ColourRole::Warning, c.warning) << c.events;
        EXPECT_EQ(text.rect, kPairGaugeRect);
    }
}

TEST_F(MacroEditorTest, TellsHowMuchOfTheSlotIsUsed) {
    editor.showPage();
    editor.setNameBox(u"m");
    editor.newMacro();
    for (int i = 0; i < 64; ++i) {
        editor.appendLine(i % 2 == 0 ? u"A   Dn" : u"A   Up");
        editor.appendLine(u"50 ms");
    }
    EXPECT_EQ(editor.pairUsage().needed, 64u);
    EXPECT_FALSE(editor.pairUsage().fits);
    EXPECT_EQ(editor.pairUsage().left, 0u);
    editor.setLoopBox(u"2");
    editor.confirm();
    // The file keeps every line; the slot holds the 63 that fit and nothing spills over.
    EXPECT_EQ(file.readItems(u"m").size(), 128u);
    EXPECT_EQ(record.macroSlot(0)[126], 0x05);
    EXPECT_EQ(record.macroSlot(0)[127], 0x04);
    EXPECT_EQ(slotBytes(record, 1), slotOf({}));
}

TEST_F(MacroEditorTest, AChineseMacroReadsBackAfterARestart) {
    editor.showPage();
    editor.setNameBox(u"宏一号");
    editor.newMacro();
    setSequence({"A   Dn", "50 ms", "A   Up"});
    editor.setLoopBox(u"6");
    editor.confirm();

    const IniEngine engineAfterRestart;
    const MacroFile fileAfterRestart(engineAfterRestart, ini);
    SettingsRecord recordAfterRestart = record;
    test::RecordingSink sinkAfterRestart;
    MacroEditor restarted(fileAfterRestart, recordAfterRestart, sinkAfterRestart);
    restarted.showPage();
    EXPECT_EQ(restarted.macroList(), std::vector<std::u16string>{u"宏一号"});
    EXPECT_EQ(restarted.nameBox(), u"宏一号");
    EXPECT_EQ(utf8List(restarted.sequence()),
              (std::vector<std::string>{"A   Dn", "50 ms", "A   Up"}));
    EXPECT_EQ(restarted.loopBox(), u"6");
    EXPECT_TRUE(sinkAfterRestart.shown.empty());
}

TEST_F(MacroEditorTest, OnlyTwelveSectionsReachTheList) {
    std::string text;
    for (int k = 0; k < 14; ++k) {
        // Not "m" + std::to_string(k): GCC 12 at -O3 reports a false -Wrestrict on it here.
        std::string name = "m";
        name += std::to_string(k);
        text += sectionText(name, "1", {"A   Dn"});
    }
    seed(text);
    editor.showPage();
    EXPECT_EQ(editor.macroList().size(), kMacroCount);
    record.reserved1920.fill(0x33);
    editor.selectMacro(11);
    editor.setLoopBox(u"400");
    for (auto b : record.reserved1920) {
        ASSERT_EQ(b, 0x33);
    }
}

} // namespace
} // namespace qor
