#include "macro/macro_editor.h"
#include "macro/macro_recorder.h"
#include "macro_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qor {
namespace {

using test::sectionText;
using test::ShownMessage;
using test::utf8List;

class FakeHost final : public RecorderHost {
public:
    std::optional<std::uint32_t> installKeyboardHook() override {
        ++installs;
        return installError;
    }
    void removeKeyboardHook() override { ++removals; }
    void setWindowTitle(std::u16string_view text) override { title = utf16ToUtf8(text); }
    void restoreWindowTitle() override { title = "Qor"; }
    void sendRecorderMessage(std::uintptr_t wParam, std::intptr_t lParam) override {
        sent.emplace_back(wParam, lParam);
        recorder->onRecorderMessage(wParam, lParam);
    }
    void postRecorderMessage(std::uintptr_t wParam, std::intptr_t lParam) override {
        posted.emplace_back(wParam, lParam);
    }
    // The window's queue reaches the posted messages.
    void deliverPosted() {
        for (const auto& [wParam, lParam] : std::exchange(posted, {})) {
            recorder->onRecorderMessage(wParam, lParam);
        }
    }

    std::optional<std::uint32_t> installError;
    int installs = 0;
    int removals = 0;
    std::string title;
    std::vector<std::pair<std::uintptr_t, std::intptr_t>> sent;
    std::vector<std::pair<std::uintptr_t, std::intptr_t>> posted;
    MacroRecorder* recorder = nullptr;
};

constexpr std::uint32_t kPress = 0;
constexpr std::uint32_t kRepeat = kKeyWasDownBit;
constexpr std::uint32_t kRelease = kKeyReleasedBit | kKeyWasDownBit;

const ShownMessage kStartBox{"Start Recording", "Qor"};
const ShownMessage kStopBox{"Stop Recording", "Qor"};

// A macro area with two macros ("One" selected) and a recorder on a fake window.
struct Rig {
    Rig() {
        test::writeFile(ini, sectionText("One", "1", {}) + sectionText("Two", "1", {}));
        editor.showPage();
        host.recorder = &recorder;
    }

    void key(const char16_t* name, std::uint32_t flags, unsigned virtualKey = 'A') {
        EXPECT_EQ(recorder.hookProc(kHookAction, virtualKey, name, flags), HookVerdict::Handled);
    }
    std::vector<std::string> lines() const { return utf8List(editor.sequence()); }

    test::ScratchDir dir;
    std::filesystem::path ini = dir.path() / "record.ini";
    IniEngine engine;
    MacroFile file{engine, ini};
    SettingsRecord record{};
    test::RecordingSink sink;
    MacroEditor editor{file, record, sink};
    FakeHost host;
    MacroRecorder recorder{editor, host, sink};
};

class MacroRecorderTest : public ::testing::Test, public Rig {};

TEST_F(MacroRecorderTest, RecordsPressesAndReleasesWithFixedPauses) {
    const std::string before = test::readFile(ini);
    editor.appendLine(u"old line");
    recorder.startRecording();
    EXPECT_TRUE(editor.sequence().empty()); // a recording starts from an empty list
    EXPECT_TRUE(recorder.hookInstalled());
    EXPECT_TRUE(recorder.swallowsKeyDowns());
    EXPECT_EQ(host.title, "Press Ctrl+Break key to stop recording");
    key(u"A", kPress);
    key(u"A", kRepeat);
    key(u"A", kRepeat);
    key(u"A", kRelease);
    key(u"Right Shift", kPress);
    key(u"Right Shift", kRepeat);
    key(u"Right Shift", kRelease);
    EXPECT_EQ(lines(), (std::vector<std::string>{"A   Dn", "50 ms", "A   Up", "50 ms",
                                                 "Right Shift   Dn", "50 ms", "Right Shift   Up"}));
    EXPECT_EQ(editor.selectedLine(), 6u);
    EXPECT_EQ(recorder.eventCount(), 4u);
    EXPECT_EQ(host.sent, (std::vector<std::pair<std::uintptr_t, std::intptr_t>>{
                             {0, 1}, {1, 0}, {0, 1}, {1, 0}}));
    recorder.stopRecording();
    EXPECT_FALSE(recorder.hookInstalled());
    EXPECT_EQ(recorder.sequenceState(), SequenceState::Stopped);
    EXPECT_EQ(host.removals, 1);
    EXPECT_EQ(host.title, "Qor"); // the title comes back when the recording ends
    EXPECT_EQ(sink.shown, (std::vector<ShownMessage>{kStartBox, kStopBox}));
    EXPECT_EQ(test::readFile(ini), before); // recording never writes record.ini
}

TEST_F(MacroRecorderTest, TheRepeatFilterLooksOnlyAtTheLastPressedKey) {
    recorder.startRecording();
    key(u"A", kPress);
    key(u"B", kPress);
    key(u"A", kRepeat);         // A is not the last pressed key: recorded as a press
    key(u"A", kKeyReleasedBit); // a release of the last pressed key that was not down: dropped
    key(u"B", kRelease);
    EXPECT_EQ(lines(), (std::vector<std::string>{"A   Dn", "50 ms", "B   Dn", "50 ms", "A   Dn",
                                                 "50 ms", "B   Up"}));
    EXPECT_EQ(recorder.eventCount(), 4u);
    EXPECT_EQ(recorder.lastPressedName(), u"A");
}

TEST_F(MacroRecorderTest, AReleaseFirstKeepsTheFirstPressWithoutAPause) {
    recorder.startRecording();
    key(u"Ctrl", kRelease);
    key(u"X", kPress);
    EXPECT_EQ(lines(), (std::vector<std::string>{"50 ms", "Ctrl   Up", "X   Dn"}));
    EXPECT_EQ(recorder.sequenceState(), SequenceState::Pressed);
}

TEST_F(MacroRecorderTest, TheSixtyFifthEventStopsTheRecording) {
    recorder.startRecording();
    for (int i = 0; i < 32; ++i) {
        const std::u16string name = u"K" + formatDecimal(i);
        key(name.c_str(), kPress);
        key(name.c_str(), kRelease);
    }
    EXPECT_EQ(editor.sequence().size(), 127u);
    EXPECT_TRUE(recorder.hookInstalled());
    key(u"Z", kPress);
    key(u"Z", kRelease); // on its way to the stop: neither recorded nor posted again
    EXPECT_EQ(host.posted.size(), 1u);
    host.deliverPosted();
    EXPECT_FALSE(recorder.hookInstalled());
    EXPECT_EQ(editor.sequence().size(), 127u); // 64 events stay
    EXPECT_EQ(utf16ToUtf8(editor.sequence().back()), "K31   Up");
    EXPECT_EQ(recorder.eventCount(), 0u);
    EXPECT_EQ(sink.shown, (std::vector<ShownMessage>{kStartBox, kStopBox}));
}

TEST_F(MacroRecorderTest, KeysClosingTheStopBoxStillReachTheHook) {
    // Below the limit the key that closes the box is recorded.
    recorder.startRecording();
    key(u"A", kPress);
    sink.whileShown = [&] { key(u"Enter", kPress); };
    recorder.stopRecording();
    EXPECT_EQ(lines(), (std::vector<std::string>{"A   Dn", "50 ms", "Enter   Dn"}));

    // At the limit the hook has gone before the box opens: the key that closes it can neither
    // be recorded nor open another box.
    sink.shown.clear();
    recorder.startRecording();
    for (int i = 0; i < 64; ++i) {
        key(i % 2 == 0 ? u"Q" : u"W", i % 2 == 0 ? kPress : kRelease);
    }
    bool hookWhileShown = true;
    sink.whileShown = [&] { hookWhileShown = recorder.hookInstalled(); };
    key(u"Space", kPress);
    host.deliverPosted();
    EXPECT_FALSE(hookWhileShown);
    EXPECT_EQ(sink.shown, (std::vector<ShownMessage>{kStartBox, kStopBox}));
    EXPECT_FALSE(recorder.hookInstalled());
    EXPECT_EQ(editor.sequence().size(), 127u);
}

TEST_F(MacroRecorderTest, EventsWithoutASelectedMacroCountButAreNotListed) {
    editor.deleteMacro(); // "One" goes, "Two" stays listed but unselected
    ASSERT_FALSE(editor.macroIsSelected());
    recorder.startRecording();
    for (int i = 0; i < 64; ++i) {
        key(u"A", i % 2 == 0 ? kPress : kRelease);
    }
    EXPECT_TRUE(editor.sequence().empty());
    EXPECT_EQ(recorder.eventCount(), 64u);
    key(u"B", kPress);
    host.deliverPosted();
    EXPECT_FALSE(recorder.hookInstalled());
    EXPECT_EQ(sink.shown.back(), kStopBox);
}

TEST(MacroRecorderStartStopTest, FailuresAndRepeats) {
    const struct {
        const char* what;
        std::function<void(Rig&)> run;
        std::vector<ShownMessage> shown;
        bool hook;
    } cases[] = {
        {"stop without a start",
         [](Rig& r) { r.recorder.stopRecording(); },
         {kStopBox, {"It doesn\u2019t start recording, unnecessary to press Stop key!", "Warning"}},
         false},
        {"hook installation fails",
         [](Rig& r) {
             r.host.installError = 1428;
             r.recorder.startRecording();
         },
         {kStartBox, {"JournalRecordHook Install error code :1428\n", "Qor"}},
         false},
        {"a code past 2^31 prints as the signed number it is to \"%d\"",
         [](Rig& r) {
             r.host.installError = 0xFFFFFFFFu;
             r.recorder.startRecording();
         },
         {kStartBox, {"JournalRecordHook Install error code :-1\n", "Qor"}},
         false},
        {"no macro listed",
         [](Rig& r) {
             r.editor.deleteMacro();
             r.editor.selectMacro(0);
             r.editor.deleteMacro();
             r.recorder.startRecording();
         },
         {{"Macro name is blank", "Warning"}},
         false},
        {"a second stop after a recording",
         [](Rig& r) {
             r.recorder.startRecording();
             r.recorder.stopRecording();
             r.recorder.stopRecording();
         },
         {kStartBox, kStopBox, kStopBox},
         false},
        {"leaving the page ends a recording silently",
         [](Rig& r) {
             r.recorder.startRecording();
             r.recorder.leavePage();
             r.recorder.stopRecording();
         },
         {kStartBox, kStopBox},
         false},
        {"starting twice keeps one hook",
         [](Rig& r) {
             r.recorder.startRecording();
             r.recorder.startRecording();
         },
         {kStartBox, kStartBox},
         true},
    };
    for (const auto& c : cases) {
        Rig rig;
        c.run(rig);
        EXPECT_EQ(rig.sink.shown, c.shown) << c.what;
        EXPECT_EQ(rig.recorder.hookInstalled(), c.hook) << c.what;
        EXPECT_EQ(rig.host.installs - rig.host.removals - (rig.host.installError ? 1 : 0),
                  c.hook ? 1 : 0)
            << c.what;
    }
}

TEST_F(MacroRecorderTest, OtherHookCodesArePassedOn) {
    recorder.startRecording();
    EXPECT_EQ(recorder.hookProc(3, 'A', u"A", kPress), HookVerdict::PassOn); // HC_NOREMOVE
    EXPECT_EQ(recorder.eventCount(), 0u);
    EXPECT_TRUE(editor.sequence().empty());
}

// Ctrl+Break ends a recording without leaving either key in the list; a Ctrl held from a
// combination is let go again so that the macro does not end with it down.
TEST(MacroRecorderBreakTest, CtrlBreakStopsAndLeavesItselfOut) {
    constexpr unsigned kCtrl = 0x11;
    constexpr unsigned kBreak = 0x03;
    const struct {
        const char* what;
        std::function<void(Rig&)> keys;
        std::vector<std::string> lines;
    } cases[] = {
        {"Ctrl then Break after a key",
         [](Rig& r) {
             r.key(u"A", kPress);
             r.key(u"A", kRelease);
             r.key(u"Ctrl", kPress, kCtrl);
             r.key(u"Ctrl", kRepeat, kCtrl);
         },
         {"A   Dn", "50 ms", "A   Up"}},
        {"Ctrl+Break as the first thing", [](Rig& r) { r.key(u"Ctrl", kPress, kCtrl); }, {}},
        {"Ctrl held from Ctrl+C",
         [](Rig& r) {
             r.key(u"Ctrl", kPress, kCtrl);
             r.key(u"C", kPress);
             r.key(u"C", kRelease);
         },
         {"Ctrl   Dn", "50 ms", "C   Dn", "50 ms", "C   Up", "50 ms", "Ctrl   Up"}},
        {"Ctrl pressed and let go earlier",
         [](Rig& r) {
             r.key(u"Ctrl", kPress, kCtrl);
             r.key(u"Ctrl", kRelease, kCtrl);
             r.key(u"Ctrl", kPress, kCtrl);
         },
         {"Ctrl   Dn", "50 ms", "Ctrl   Up"}},
    };
    for (const auto& c : cases) {
        Rig r;
        r.recorder.startRecording();
        c.keys(r);
        const std::uint32_t countBefore = r.recorder.eventCount();
        EXPECT_EQ(r.recorder.hookProc(kHookAction, kBreak, u"Break", kPress), HookVerdict::Discard)
            << c.what;
        // Keys before the posted stop arrives are not recorded.
        r.key(u"Ctrl", kRelease, kCtrl);
        EXPECT_EQ(r.recorder.hookProc(kHookAction, kBreak, u"Break", kRepeat), HookVerdict::Discard)
            << c.what;
        EXPECT_TRUE(r.sink.shown.size() == 1 && r.host.posted.size() == 1) << c.what;
        r.host.deliverPosted();
        EXPECT_FALSE(r.recorder.hookInstalled()) << c.what;
        EXPECT_EQ(r.recorder.sequenceState(), SequenceState::Stopped) << c.what;
        EXPECT_EQ(r.lines(), c.lines) << c.what;
        EXPECT_EQ(r.host.title, "Qor") << c.what;
        EXPECT_EQ(r.sink.shown, (std::vector<ShownMessage>{kStartBox, kStopBox})) << c.what;
        EXPECT_GT(countBefore, 0u) << c.what;
        // The Break release, and anything after, reaches no recording.
        EXPECT_EQ(r.recorder.hookProc(kHookAction, kBreak, u"Break", kRelease),
                  HookVerdict::Discard)
            << c.what;
        EXPECT_EQ(r.lines(), c.lines) << c.what;
    }
}

TEST_F(MacroRecorderTest, LeavingThePageRestoresTheTitle) {
    recorder.startRecording();
    EXPECT_EQ(host.title, "Press Ctrl+Break key to stop recording");
    recorder.leavePage();
    EXPECT_EQ(host.title, "Qor");
    EXPECT_FALSE(recorder.hookInstalled());
}

} // namespace
} // namespace qor
