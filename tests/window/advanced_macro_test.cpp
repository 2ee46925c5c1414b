// The macro area of the Advanced page through the main window, as a user works it: presses on
// the page, list choices and double clicks, typed boxes, the context menu, page changes; checked
// on the scene, record.ini, the messages and the recorder's hook.
#include "window/main_window.h"

#include "macro/delay_dialog.h"
#include "macro/macro_test_support.h"
#include "macro/pair_gauge.h"
#include "support/fake_pointer_system.h"
#include "support/scene_probe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace qor;
using test::centreX;
using test::centreY;
using test::ShownMessage;
using test::utf8List;

class IdleFlow final : public SettingsFlow {
public:
    bool connected() const override { return true; }
    bool confirm() override { return true; }
    void cancel() override {}
    void firstBasicDrawing() override {}
    void rereadKeyRows() override {}
};

class NoKeyDialogs final : public KeyDialogs {
public:
    std::optional<ListChoice> windowsFunction() override { return std::nullopt; }
    std::optional<ListChoice> multimedia() override { return std::nullopt; }
    std::optional<FireChoice> fireKey() override { return std::nullopt; }
    std::optional<std::u16string> singleKey() override { return std::nullopt; }
    std::optional<ComboChoice> comboKey() override { return std::nullopt; }
    std::optional<MacroChoice> macroKey() override { return std::nullopt; }
};

class Host final : public RecorderHost {
public:
    std::optional<std::uint32_t> installKeyboardHook() override {
        installed = true;
        return std::nullopt;
    }
    void removeKeyboardHook() override { installed = false; }
    void setWindowTitle(std::u16string_view text) override { title = utf16ToUtf8(text); }
    void restoreWindowTitle() override { title = "before"; }
    // The window's handler of the recorder message, and what it draws again.
    void sendRecorderMessage(std::uintptr_t w, std::intptr_t l) override {
        redrawn = window->recorderMessage(w, l);
    }
    void postRecorderMessage(std::uintptr_t w, std::intptr_t l) override {
        redrawn = window->recorderMessage(w, l);
    }
    std::vector<Rect> redrawn;
    bool installed = false;
    std::string title = "before";
    MainWindow* window = nullptr;
};

// The delay dialog as a user fills it: the scripted text typed, then OK; nothing is Cancel.
class DelayRunner final : public DialogRunner {
public:
    std::optional<std::u16string> typed;
    int runs = 0;
    DialogKind kind = DialogKind::SingleKey;
    bool run(DialogContent& content) override {
        ++runs;
        kind = content.kind();
        if (!typed) {
            return false;
        }
        content.textChanged(DelayTimeDialog::kDelayEdit, *typed);
        return true;
    }
};

struct Page {
    explicit Page(Language language = Language::English) : strings(language) {
        test::writeFile(ini, test::sectionText("One", "2", {"A   Dn", "50 ms", "A   Up"}) +
                                 test::sectionText("Two", "3", {}));
        setFirstRunKeyRowTexts(rows, strings);
        window.emplace(record, rows, sensorType, strings,
                       MainWindow::Ports{flow, sink, keyDialogs, nullptr, nullptr, &pointer, &file,
                                         &host, &runner});
        host.window = &*window;
        window->showPage(qor::Page::Basic);
        window->showPage(qor::Page::Advanced);
    }
    MacroArea& area() { return *window->macro(); }
    const MacroEditor& editor() { return area().editor(); }
    void pressAt(const Rect& a) { window->press(centreX(a), centreY(a)); }
    void press(MacroButton b) { pressAt(macroButtonRect(b)); }
    std::vector<std::string> lines() { return utf8List(editor().sequence()); }
    std::vector<std::string> macros() { return utf8List(editor().macroList()); }
    const SceneControl* control(int id) {
        last = window->scene();
        return last.control(id);
    }
    bool shows(std::u16string_view text) {
        const auto texts = test::sceneTexts(window->scene());
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }

    test::ScratchDir dir;
    std::filesystem::path ini = dir.path() / "record.ini";
    IniEngine engine;
    MacroFile file{engine, ini};
    SettingsRecord record{};
    StringTable strings;
    KeyRowTexts rows;
    std::uint8_t sensorType = 1;
    IdleFlow flow;
    test::RecordingSink sink;
    NoKeyDialogs keyDialogs;
    test::FakePointerSystem pointer;
    Host host;
    DelayRunner runner;
    std::optional<MainWindow> window;
    Scene last;
};

TEST(AdvancedMacroArea, TheShownPageHasTheAreaFilledFromRecordIni) {
    Page p;
    EXPECT_EQ(p.macros(), (std::vector<std::string>{"One", "Two"}));
    EXPECT_EQ(p.lines(), (std::vector<std::string>{"A   Dn", "50 ms", "A   Up"}));
    for (int id : {kLoopBoxId, kNameBoxId, kMacroListId, kSequenceListId, kEventFaceId}) {
        EXPECT_NE(p.control(id), nullptr) << id;
    }
    EXPECT_EQ(p.control(kEventListId), nullptr);
    EXPECT_EQ(p.control(kNameBoxId)->text, u"One");
    EXPECT_FALSE(p.control(kMacroListId)->framed);
    EXPECT_TRUE(p.shows(u"Key Press Sequence"));
    EXPECT_TRUE(p.shows(pairGaugeText(p.editor().pairUsage())));

    // The Basic page has none of them, and the way back rebuilds them from the file: a macro
    // that was only added is gone.
    p.window->textChanged(kNameBoxId, u"Three");
    p.press(MacroButton::New);
    EXPECT_EQ(p.macros().size(), 3u);
    p.window->showPage(qor::Page::Basic);
    for (int id : {kLoopBoxId, kNameBoxId, kMacroListId, kSequenceListId, kEventFaceId}) {
        EXPECT_EQ(p.control(id), nullptr) << id;
    }
    p.window->showPage(qor::Page::Advanced);
    EXPECT_EQ(p.macros(), (std::vector<std::string>{"One", "Two"}));
}

TEST(AdvancedMacroArea, PressesReachTheButtonsInTheirOrder) {
    const struct {
        const char* what;
        std::function<void(Page&)> act;
        std::vector<std::string> macros;
        std::vector<std::string> lines;
        std::vector<ShownMessage> shown;
        bool eventListOpen;
    } cases[] = {
        {"New with a new name",
         [](Page& p) {
             p.window->textChanged(kNameBoxId, u"Three");
             p.press(MacroButton::New);
         },
         {"One", "Two", "Three"},
         {},
         {},
         false},
        {"New with a listed name in other letters",
         [](Page& p) {
             p.window->textChanged(kNameBoxId, u"two");
             p.press(MacroButton::New);
         },
         {"One", "Two"},
         {"A   Dn", "50 ms", "A   Up"},
         {{"Macro name already exists", "Qor"}},
         false},
        {"Delete the selected macro",
         [](Page& p) { p.press(MacroButton::Delete); },
         {"Two"},
         {},
         {},
         false},
        {"the event box opens its list",
         [](Page& p) { p.pressAt(kEventBoxRect); },
         {"One", "Two"},
         {"A   Dn", "50 ms", "A   Up"},
         {},
         true},
        {"a press elsewhere on the page closes it",
         [](Page& p) {
             p.pressAt(kEventBoxRect);
             p.window->press(600, 580);
         },
         {"One", "Two"},
         {"A   Dn", "50 ms", "A   Up"},
         {},
         false},
        {"the box again closes it",
         [](Page& p) {
             p.pressAt(kEventBoxRect);
             p.pressAt(kEventBoxRect);
         },
         {"One", "Two"},
         {"A   Dn", "50 ms", "A   Up"},
         {},
         false},
        {"a choice after a delay line",
         [](Page& p) {
             p.window->listSelected(kSequenceListId, 1);
             p.pressAt(kEventBoxRect);
             p.window->listSelected(kEventListId, 1);
         },
         {"One", "Two"},
         {"A   Dn", "50 ms", "R-Button   Dn", "50 ms", "R-Button   Up", "50 ms", "A   Up"},
         {},
         false},
        {"the event list takes no choice while it is closed",
         [](Page& p) { p.window->listSelected(kEventListId, 1); },
         {"One", "Two"},
         {"A   Dn", "50 ms", "A   Up"},
         {},
         false},
        {"Stop without a recording",
         [](Page& p) { p.pressAt(kRecordStopRect); },
         {"One", "Two"},
         {"A   Dn", "50 ms", "A   Up"},
         {{"Stop Recording", "Qor"},
          {"It doesn\u2019t start recording, unnecessary to press Stop key!", "Warning"}},
         false},
        {"the context menu's Delete takes the selected line only",
         [](Page& p) {
             p.window->pointerOverList(kSequenceListId, 2, {});
             p.window->command(kDeleteMacroLineCommand);
         },
         {"One", "Two"},
         {"A   Dn", "50 ms"},
         {},
         false},
    };
    for (const auto& c : cases) {
        Page p;
        c.act(p);
        EXPECT_EQ(p.macros(), c.macros) << c.what;
        EXPECT_EQ(p.lines(), c.lines) << c.what;
        EXPECT_EQ(p.sink.shown, c.shown) << c.what;
        EXPECT_EQ(p.control(kEventListId) != nullptr, c.eventListOpen) << c.what;
    }
}

TEST(AdvancedMacroArea, ADoubleClickOnADelayRunsTheDelayDialog) {
    const struct {
        std::size_t line;
        std::optional<std::u16string> typed; // nothing: Cancel
        int runs;
        std::string delay; // line 1 afterwards
    } cases[] = {
        {1, u"250", 1, "250 ms"}, {1, u"10000", 1, "10000 ms"},  {1, u"10001", 1, "50 ms"},
        {1, u"", 1, " ms"},       {1, std::nullopt, 1, "50 ms"}, {0, u"250", 0, "50 ms"},
    };
    for (const auto& c : cases) {
        Page p;
        p.runner.typed = c.typed;
        p.window->listSelected(kSequenceListId, c.line, true);
        EXPECT_EQ(p.runner.runs, c.runs) << c.line;
        if (c.runs != 0) {
            EXPECT_EQ(p.runner.kind, DialogKind::DelayTime);
        }
        EXPECT_EQ(p.lines().at(1), c.delay) << utf16ToUtf8(c.typed.value_or(u"(cancel)"));
    }
}

TEST(AdvancedMacroArea, TheSequenceListAloneHasAContextMenuInTheInterfaceLanguage) {
    const struct {
        Language language;
        std::u16string entry;
    } cases[] = {{Language::English, u"Delete"},
                 {Language::SimplifiedChinese, u"删除"},
                 {Language::TraditionalChinese, u"刪除"}};
    for (const auto& c : cases) {
        Page p(c.language);
        EXPECT_EQ(p.window->contextMenuAt(kSequenceListId), c.entry);
        EXPECT_EQ(p.window->contextMenuAt(kMacroListId), std::nullopt);
        // The host's menu: the resource's, its one command showing the entry.
        EXPECT_EQ(p.window->contextMenu(kSequenceListId),
                  (ContextMenu{kMacroListMenu, kDeleteMacroLineCommand, c.entry}));
        EXPECT_EQ(p.window->contextMenu(kMacroListId), std::nullopt);
        p.window->showPage(qor::Page::Basic);
        EXPECT_EQ(p.window->contextMenuAt(kSequenceListId), std::nullopt);
        EXPECT_EQ(p.window->contextMenu(kSequenceListId), std::nullopt);
    }
}

TEST(AdvancedMacroArea, ARecordingSwallowsKeysUntilItEndsOrThePageIsLeft) {
    Page p;
    EXPECT_FALSE(p.window->keyDownSwallowed());
    EXPECT_EQ(p.window->keyPressed('Q'), std::nullopt) << "on to the page";
    EXPECT_EQ(p.window->keyHooked(0, 'Q', u"Q", 0), KeyHookAnswer{}) << "no recording";
    p.pressAt(kRecordStartRect);
    EXPECT_TRUE(p.host.installed);
    EXPECT_TRUE(p.window->keyDownSwallowed());
    EXPECT_EQ(p.window->keyPressed('Q'), HostAction::None) << "taken, and nothing done";
    EXPECT_EQ(p.window->keyPressed(kVirtualKeyEscape), HostAction::None) << "no hiding";
    EXPECT_EQ(p.host.title, "Press Ctrl+Break key to stop recording");
    EXPECT_TRUE(p.shows(u"Press Ctrl+Break key to stop recording"));
    p.area().hookProc(0, 'Q', u"Q", 0);
    EXPECT_EQ(p.lines(), (std::vector<std::string>{"Q   Dn"}));
    // The host's keyboard hook reaches the recorder.
    EXPECT_EQ(p.window->keyHooked(0, 'W', u"W", 0), KeyHookAnswer{KeyHookVerdict::Handled});
    EXPECT_EQ(p.lines(), (std::vector<std::string>{"Q   Dn", "50 ms", "W   Dn"}));

    p.window->showPage(qor::Page::Basic);
    EXPECT_FALSE(p.host.installed);
    EXPECT_FALSE(p.window->keyDownSwallowed());
    EXPECT_EQ(p.host.title, "before");
    EXPECT_EQ(p.sink.shown, (std::vector<ShownMessage>{{"Start Recording", "Qor"}}));

    p.window->showPage(qor::Page::Advanced);
    EXPECT_FALSE(p.shows(u"Press Ctrl+Break key to stop recording"));
    p.pressAt(kRecordStartRect);
    EXPECT_EQ(p.area().hookProc(0, 0x03, u"Break", 0), HookVerdict::Discard);
    EXPECT_FALSE(p.window->keyDownSwallowed());
    EXPECT_EQ(p.host.title, "before");
}

TEST(AdvancedMacroArea, ARecordedKeyRedrawsTheGaugeAndTheEndThePage) {
    Page p;
    p.pressAt(kRecordStartRect);
    p.area().hookProc(0, 'Q', u"Q", 0);
    EXPECT_EQ(p.lines(), (std::vector<std::string>{"Q   Dn"}));
    EXPECT_EQ(p.host.redrawn, std::vector<Rect>{kPairGaugeRect});
    p.area().hookProc(0, 0x03, u"Break", 0); // Ctrl+Break: the hint goes with the recording
    EXPECT_EQ(p.host.redrawn, std::vector<Rect>{kWholeClient});
    EXPECT_FALSE(p.host.installed);
}

TEST(AdvancedMacroArea, TheBoxesAndTheEventListFollowTheUser) {
    Page p;
    p.window->textChanged(kLoopBoxId, u"0");
    EXPECT_EQ(p.control(kLoopBoxId)->text, u"1");
    p.window->textChanged(kLoopBoxId, u"7");
    EXPECT_EQ(p.control(kLoopBoxId)->text, u"7");
    EXPECT_EQ(test::slotBytes(p.record, 0)[1], 7);

    p.pressAt(kEventBoxRect);
    p.window->pointerOverList(kEventListId, 4, {});
    EXPECT_EQ(p.control(kEventListId)->selected, 4u);
    p.window->pointerOverList(kEventListId, 40, {}); // past the entries: left as it was
    EXPECT_EQ(p.control(kEventListId)->selected, 4u);
    p.window->listSelected(kEventListId, 4);
    EXPECT_EQ(p.control(kEventFaceId)->text, u"L-Button   Up");
    EXPECT_EQ(p.control(kEventListId), nullptr);
}

TEST(AdvancedMacroArea, MacroButtonsLightUpUnderThePointer) {
    Page p;
    const Rect confirm = macroButtonRect(MacroButton::Confirm);
    const auto redraw = p.window->hoverAt(centreX(confirm), centreY(confirm));
    EXPECT_EQ(redraw, (std::vector<Rect>{confirm}));
    EXPECT_TRUE(test::drawsImage(p.window->scene(), u"/button-over.png", confirm));
}

TEST(DelayTimeDialogTest, TextsInTheLanguageAndTheEntryAsTyped) {
    const struct {
        Language language;
        std::u16string prompt;
        std::u16string range;
    } cases[] = {
        {Language::English, u"Please enter a delay", u"(value range 0-10000)"},
        {Language::SimplifiedChinese, u"请输入一个延时", u"(数值范围 0-10000)"},
        {Language::TraditionalChinese, u"請輸入一個延時", u"(數值範圍 0-10000)"},
    };
    for (const auto& c : cases) {
        DelayTimeDialog d(c.language);
        std::vector<std::u16string> texts;
        for (const auto& drawing : d.scene().drawings) {
            texts.push_back(std::get<SceneText>(drawing).text);
        }
        EXPECT_EQ(texts, (std::vector<std::u16string>{c.prompt, c.range}));
    }
    DelayTimeDialog d(Language::English);
    EXPECT_TRUE(d.scene().control(DelayTimeDialog::kDelayEdit)->digitsOnly);
    d.textChanged(DelayTimeDialog::kDelayEdit, u"120");
    d.textChanged(DelayTimeDialog::kDelayEdit + 1, u"9");
    EXPECT_EQ(d.result().text, u"120");
    EXPECT_EQ(d.result().value, 120);
    EXPECT_EQ(d.scene().control(DelayTimeDialog::kDelayEdit)->text, u"120");
}

} // namespace
