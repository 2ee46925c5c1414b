// The main window's models driven as a user would: presses at client points, list choices, the
// pointer over lists; checked on the record, the row texts, the ports and the scene.
#include "window/main_window.h"

#include "settings/settings_state.h"
#include "ui/control_colours.h"

#include "support/fake_pointer_system.h"
#include "support/scene_probe.h"
#include "support/scratch_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>

namespace {

using namespace qor;
using test::centreX;
using test::centreY;

class ScriptedFlow final : public SettingsFlow {
public:
    bool connectedFlag = true;
    int confirms = 0;
    int cancels = 0;
    int firstDrawings = 0;
    int rereads = 0;
    bool connected() const override { return connectedFlag; }
    bool completes = true; // whether every setting reaches the mouse
    bool confirm() override {
        if (!connectedFlag) {
            return false;
        }
        ++confirms;
        return completes;
    }
    void cancel() override { ++cancels; }
    void firstBasicDrawing() override { ++firstDrawings; }
    void rereadKeyRows() override {
        ++rereads;
        if (reread) {
            reread();
        }
    }
    // What the session does: str.ini's key-row texts read again.
    std::function<void()> reread;
};

class Messages final : public MessageSink {
public:
    std::vector<std::u16string> texts;
    void show(std::u16string_view text, std::u16string_view caption) override {
        texts.emplace_back(text);
        EXPECT_EQ(caption, kWarningCaption);
    }
};

// Answers each dialog with the next scripted result; nothing scripted means Cancel.
class ScriptedDialogs final : public KeyDialogs {
public:
    std::optional<ListChoice> windows, media;
    std::optional<FireChoice> fire;
    std::optional<std::u16string> single;
    std::optional<ComboChoice> combo;
    std::optional<MacroChoice> macro;
    std::optional<ListChoice> windowsFunction() override { return windows; }
    std::optional<ListChoice> multimedia() override { return media; }
    std::optional<FireChoice> fireKey() override { return fire; }
    std::optional<std::u16string> singleKey() override { return single; }
    std::optional<ComboChoice> comboKey() override { return combo; }
    std::optional<MacroChoice> macroKey() override { return macro; }
};

SettingsRecord defaultRecord() {
    SettingsRecord r{};
    restoreKeyDefaults(r);
    r.dpiStageOn = {1, 1, 1, 1};
    r.dpiLevel = {0, 1, 2, 3};
    r.ledMode = 1;
    return r;
}

class Window : public ::testing::Test {
protected:
    Window() { setFirstRunKeyRowTexts(rows, strings); }

    MainWindow& window() {
        if (!window_) {
            window_.emplace(record, rows, sensorType, strings,
                            MainWindow::Ports{flow, messages, dialogs,
                                              [this]() -> std::optional<Rgb> {
                                                  ++colourDialogs;
                                                  return colourAnswer;
                                              },
                                              [this](const std::function<void()>& work) {
                                                  ++busyRuns;
                                                  work();
                                              },
                                              &pointerSystem, nullptr, nullptr, runner, skins});
            window_->showPage(Page::Basic);
        }
        return *window_;
    }
    WindowAction pressAt(const Rect& a) { return window().press(centreX(a), centreY(a)); }
    void openRow(std::size_t row) { pressAt(keyRowRect(row)); }
    // Chooses `position` in the open row's list as the list would report it.
    void choose(std::size_t row, std::size_t position) {
        window().listSelected(kFunctionListIdBase + int(row) + 1, position);
    }
    // Valid until the next call.
    const SceneControl* control(int id) {
        last_ = sceneNow();
        return last_.control(id);
    }
    Scene sceneNow() { return window().scene(); }
    std::vector<std::u16string> texts() { return test::sceneTexts(sceneNow()); }
    bool drawn(std::u16string_view image, const Rect& at) {
        return test::drawsImage(sceneNow(), image, at);
    }

    StringTable strings{Language::English};
    SettingsRecord record = defaultRecord();
    KeyRowTexts rows;
    std::uint8_t sensorType = 0;
    ScriptedFlow flow;
    Messages messages;
    ScriptedDialogs dialogs;
    std::optional<Rgb> colourAnswer;
    test::FakePointerSystem pointerSystem;
    DialogRunner* runner = nullptr; // the skin dialog's
    SkinSettings* skins = nullptr;
    int colourDialogs = 0;
    int busyRuns = 0;

private:
    std::optional<MainWindow> window_;
    Scene last_;
};

// --- frame and dispatch ----------------------------------------------------------------------

TEST_F(Window, FramePressesInTheirOrder) {
    struct Case {
        FrameArea area;
        WindowAction action;
        int confirms;
        int cancels;
        bool hidesAfterApply;
    };
    const Case cases[] = {
        {FrameArea::Ok, WindowAction::Hide, 1, 0, true},
        {FrameArea::Apply, WindowAction::None, 1, 0, false},
        {FrameArea::Skins, WindowAction::OpenSkins, 0, 0, false},
        {FrameArea::Minimise, WindowAction::Hide, 0, 0, false},
        {FrameArea::Close, WindowAction::EndProgram, 0, 0, false},
        {FrameArea::Cancel, WindowAction::Hide, 0, 1, false},
        {FrameArea::WebLink, WindowAction::OpenWebLink, 0, 0, false},
    };
    for (const Case& c : cases) {
        flow = ScriptedFlow{};
        busyRuns = 0;
        EXPECT_EQ(pressAt(frameRect(c.area)), c.action) << int(c.area);
        EXPECT_EQ(flow.confirms, c.confirms) << int(c.area);
        EXPECT_EQ(busyRuns, c.confirms) << "the apply runs under the wait cursor";
        EXPECT_EQ(flow.cancels, c.cancels) << int(c.area);
    }
    // OK keeps the window while the mouse is away (the flow says so) or when not every setting
    // reached it; nothing waits under the wait cursor for an absent mouse.
    for (const bool connected : {false, true}) {
        flow = ScriptedFlow{};
        flow.connectedFlag = connected;
        flow.completes = false;
        busyRuns = 0;
        EXPECT_EQ(pressAt(frameRect(FrameArea::Ok)), WindowAction::None) << connected;
        EXPECT_EQ(pressAt(frameRect(FrameArea::Apply)), WindowAction::None) << connected;
        EXPECT_EQ(busyRuns, connected ? 2 : 0);
    }
}

TEST_F(Window, PageSwitchingAndTheFirstDrawing) {
    window();
    EXPECT_EQ(flow.firstDrawings, 1);
    pressAt(frameRect(FrameArea::PreviousPage));
    EXPECT_EQ(window().page(), Page::Basic) << "Previous on the Basic page does nothing";
    openRow(1);
    ASSERT_NE(control(42), nullptr);
    pressAt(frameRect(FrameArea::NextPage));
    EXPECT_EQ(window().page(), Page::Advanced);
    EXPECT_TRUE(sceneNow().controls.empty()) << "the Basic page's controls go with it";
    pressAt(frameRect(FrameArea::PreviousPage));
    EXPECT_EQ(window().page(), Page::Basic);
    EXPECT_EQ(control(42), nullptr) << "its open flags were cleared";
    EXPECT_NE(control(71), nullptr) << "the page's own controls are there again";
    EXPECT_EQ(flow.firstDrawings, 1) << "the read-back runs at the first drawing only";
}

TEST_F(Window, PressesOnNothingMoveTheWindow) {
    const struct { int x, y; } empty[] = {{450, 20}, {600, 120}, {100, 400}, {20, 640}};
    for (const auto& p : empty) {
        EXPECT_EQ(window().press(p.x, p.y), WindowAction::MoveWindow) << p.x << "," << p.y;
    }
    // The rows of steps 9 to 12 are no DPI click while the list has 8 steps.
    sensorType = 2;
    const Rect step10 = dpiStepRect(1, 10);
    const auto before = record.dpiLevel;
    EXPECT_EQ(pressAt(step10), WindowAction::MoveWindow);
    EXPECT_EQ(record.dpiLevel, before);
}

TEST_F(Window, DispatchOrderIsData) {
    const auto& table = basicDispatchTable();
    ASSERT_FALSE(table.empty());
    std::vector<BasicTarget> order;
    for (const auto& e : table) {
        if (order.empty() || order.back() != e.target) {
            order.push_back(e.target);
        }
    }
    const std::vector<BasicTarget> expected = {
        BasicTarget::KeySetA,          BasicTarget::KeySetB,
        BasicTarget::KeyDefault,     BasicTarget::KeyRow,
        BasicTarget::DpiOnOff,       BasicTarget::DpiColour,
        BasicTarget::LightingMode,   BasicTarget::LightingParameter,
        BasicTarget::LightingEffect, BasicTarget::DpiStep};
    EXPECT_EQ(order, expected);
    // No two targets share a pixel, so the order never hides one behind another, but for the
    // column the two key-set buttons share (Mode A, first in order, takes it).
    for (std::size_t i = 0; i < table.size(); ++i) {
        for (std::size_t j = i + 1; j < table.size(); ++j) {
            if (table[i].target == BasicTarget::KeySetA && table[j].target == BasicTarget::KeySetB) {
                continue;
            }
            EXPECT_FALSE(intersects(table[i].rect, table[j].rect))
                << int(table[i].target) << "/" << table[i].index << " and " << int(table[j].target)
                << "/" << table[j].index;
        }
    }
}

TEST_F(Window, EnterAndEscapeHide) {
    EXPECT_EQ(window().keyDown(0x0D), WindowAction::Hide);
    EXPECT_EQ(window().keyDown(0x1B), WindowAction::Hide);
    EXPECT_EQ(window().keyDown('A'), WindowAction::None);
}

TEST_F(Window, TheHostsOperations) {
    EXPECT_EQ(window().background(), u"/main.png");
    EXPECT_EQ(window().backgroundMissing(), std::nullopt) << "the old one stays";
    const struct {
        FrameArea area;
        HostAction action;
    } presses[] = {
        {FrameArea::Ok, HostAction::Hide},
        {FrameArea::Apply, HostAction::None},
        {FrameArea::Skins, HostAction::None}, // no skin ports: nothing opens
        {FrameArea::Minimise, HostAction::Hide},
        {FrameArea::Close, HostAction::EndProgram},
        {FrameArea::WebLink, HostAction::OpenWebLink},
    };
    for (const auto& p : presses) {
        const Rect r = frameRect(p.area);
        EXPECT_EQ(window().pressAt(centreX(r), centreY(r)), p.action) << int(p.area);
    }
    EXPECT_EQ(window().pressAt(450, 20), HostAction::MoveWindow);
    EXPECT_EQ(window().keyPressed(kVirtualKeyReturn), HostAction::Hide);
    EXPECT_EQ(window().keyPressed(kVirtualKeyEscape), HostAction::Hide);
    EXPECT_EQ(window().keyPressed('A'), std::nullopt);
    EXPECT_EQ(window().commandChosen(kOkCommand), HostAction::Hide);
    EXPECT_EQ(window().commandChosen(kCancelCommand), HostAction::Hide);
    EXPECT_EQ(window().commandChosen(kDeleteMacroLineCommand), HostAction::None);
    EXPECT_EQ(window().keyHooked(0, 'A', u"A", 0), KeyHookAnswer{}) << "no recorder";
    EXPECT_EQ(window().contextMenu(kFunctionListIdBase + 1), std::nullopt);
    // The controls in the initial text colour until a skin is read.
    EXPECT_EQ(window().controlColours(ControlClass::Edit, kLoopBoxId, nullptr).text,
              (Rgb{0, 255, 0}));
    openRow(2);
    window().listChosen(kFunctionListIdBase + 3, 5, false);
    EXPECT_EQ(rows.setA[2], u"Triple-click");
}

TEST_F(Window, TheBasicPageIsDrawnAtStartOnlyWhileConnected) {
    for (const bool connected : {false, true}) {
        SCOPED_TRACE(connected);
        flow = ScriptedFlow{};
        flow.connectedFlag = connected;
        MainWindow w(record, rows, sensorType, strings,
                     MainWindow::Ports{flow, messages, dialogs, nullptr, nullptr, &pointerSystem});
        EXPECT_EQ(w.showFirstPage(), connected);
        EXPECT_EQ(w.page(), connected ? Page::Basic : Page::None);
        EXPECT_EQ(flow.firstDrawings, connected ? 1 : 0) << "the connect read-back";
        EXPECT_EQ(w.scene().drawings.empty(), !connected);
        EXPECT_FALSE(w.showFirstPage()) << "drawn once";
    }
}

// --- the skin dialog --------------------------------------------------------------------------

// Answers the skin dialog: the folder list's entry `folder` and OK, or Cancel.
class SkinRunner final : public DialogRunner {
public:
    std::optional<std::size_t> folder;
    int runs = 0;
    bool run(DialogContent& content) override {
        ++runs;
        EXPECT_EQ(content.kind(), DialogKind::Skins);
        if (!folder) {
            return false;
        }
        content.pressBox(100, 135);
        content.chooseItem(SkinsDialog::kFolderList, *folder);
        return true;
    }
};

class SkinWindow : public Window {
protected:
    SkinWindow() {
        runner = &skinRunner;
        skins = &skinSettings;
    }
    test::ScratchDir dir;
    std::filesystem::path strIni = dir.path() / "str.ini";
    IniEngine ini;
    SkinSettings skinSettings{ini, strIni, u"/qor/", [](const std::u16string& root) {
                                  EXPECT_EQ(root, u"/qor//Skins");
                                  return std::vector<std::u16string>{u"Obsidian", u"Ember"};
                              }};
    SkinRunner skinRunner;
};

TEST_F(SkinWindow, OkTakesAndSavesTheSkinAndCancelLeavesIt) {
    StrIniValues values;
    values.skinName = u"Obsidian";
    values.red = u"214";
    values.green = u"228";
    values.blue = u"240";
    skinSettings.read(values);
    const Rect skinsButton = frameRect(FrameArea::Skins);
    EXPECT_EQ(window().pressAt(centreX(skinsButton), centreY(skinsButton)), HostAction::None);
    EXPECT_EQ(skinRunner.runs, 1);
    EXPECT_EQ(skinSettings.current().name, u"Obsidian") << "Cancel";
    EXPECT_FALSE(std::filesystem::exists(strIni));

    skinRunner.folder = 1;
    std::vector<Rect> redraw;
    window().pointerMoved(centreX(skinsButton), centreY(skinsButton), redraw);
    window().hoverAt(centreX(skinsButton), centreY(skinsButton));
    EXPECT_TRUE(drawn(u"/button-Skins-over.png", skinsButton));
    EXPECT_EQ(window().pressAt(centreX(skinsButton), centreY(skinsButton)),
              HostAction::SkinChanged);
    EXPECT_EQ(skinSettings.current(),
              (SkinChoice{u"Ember", u"/qor//Skins/Ember", Rgb{214, 228, 240}}));
    EXPECT_EQ(readStrIni(ini, strIni, u"English").skinName, u"Ember");
    EXPECT_TRUE(drawn(u"/button-Skins-normal.png", skinsButton)) << "the pointer is elsewhere";
    EXPECT_EQ(window().controlColours(ControlClass::Edit, kLoopBoxId, nullptr).text,
              (Rgb{214, 228, 240}));
}

// The fault: OK in the skin dialog drew the Basic page through the path that restores after
// Cancel, which reads str.ini's key-row texts again. A key function chosen since the last Apply
// kept its new value but showed the old text, and the next Apply wrote that text.
TEST_F(SkinWindow, OkDrawsThePageAsTheModelHasItWithoutReadingTheKeyRowsAgain) {
    const KeyRowTexts applied = rows;
    flow.reread = [&] { rows = applied; };
    skinRunner.folder = 1;
    openRow(4);
    choose(4, 5);
    ASSERT_EQ(rows.setA[4], u"Triple-click");
    const Rect skinsButton = frameRect(FrameArea::Skins);
    EXPECT_EQ(window().pressAt(centreX(skinsButton), centreY(skinsButton)),
              HostAction::SkinChanged);
    EXPECT_EQ(flow.rereads, 0);
    EXPECT_EQ(record.modeA.function[4], 5);
    EXPECT_EQ(rows.setA[4], u"Triple-click");
    const auto shown = texts();
    EXPECT_NE(std::find(shown.begin(), shown.end(), u"Triple-click"), shown.end());

    // Cancel and the next show still restore what was applied, texts included.
    pressAt(frameRect(FrameArea::Cancel));
    window().redrawCurrentPage();
    EXPECT_EQ(flow.rereads, 1);
    EXPECT_EQ(rows.setA[4], applied.setA[4]);
}

// --- key rows --------------------------------------------------------------------------------

TEST_F(Window, LeftClickGuard) {
    openRow(0);
    EXPECT_EQ(control(41), nullptr) << "the last Left Click cannot be reassigned";
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_EQ(messages.texts[0], u"Left key must be selected!");

    openRow(1);
    choose(1, 0); // row 2 becomes Left Click too
    EXPECT_EQ(record.modeA.function[1], 0);
    openRow(0);
    EXPECT_NE(control(41), nullptr) << "with a second Left Click, row 1's list opens";
    EXPECT_EQ(messages.texts.size(), 1u);
}

TEST_F(Window, OrdinaryFunctionsAndTheListsOpenAndClose) {
    openRow(2);
    const SceneControl* list = control(43);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->rect, functionListRect(2));
    ASSERT_EQ(list->items.size(), 15u);
    EXPECT_EQ(list->items[6], u"DPI Switch");
    EXPECT_EQ(list->items[14], u"Key Off");

    openRow(3); // another row's list replaces it
    EXPECT_EQ(control(43), nullptr);
    EXPECT_NE(control(44), nullptr);
    openRow(3); // the same row again closes it
    EXPECT_EQ(control(44), nullptr);

    openRow(4);
    window().press(450, 20); // anywhere else
    EXPECT_EQ(control(45), nullptr);

    const struct {
        std::size_t position;
        std::u16string_view text;
    } cases[] = {{5, u"Triple-click"}, {7, u"RGB On/Off"}, {14, u"Key Off"}, {1, u"Right Click"}};
    for (const auto& c : cases) {
        openRow(4);
        choose(4, c.position);
        EXPECT_EQ(record.modeA.function[4], c.position);
        EXPECT_EQ(rows.setA[4], c.text);
        EXPECT_EQ(control(45), nullptr) << "a choice closes the list";
    }
    EXPECT_EQ(rows.setB[4], u"Backward") << "key set B is not touched";
}

TEST_F(Window, DpiSwitchThroughTheSideList) {
    openRow(3);
    window().listSelected(44, kDpiSwitchPosition);
    EXPECT_NE(control(44), nullptr) << "item 6 itself leaves the list open";
    EXPECT_EQ(record.modeA.function[3], 3);

    const Rect item6{0, 96, 209, 112};
    window().pointerOverList(44, 6, item6);
    const SceneControl* side = control(kDpiSideListId);
    ASSERT_NE(side, nullptr);
    const Rect list = functionListRect(3);
    EXPECT_EQ(side->rect,
              (Rect{list.left + 209, list.top + 96, list.left + 209 + 66, list.top + 96 + 80}));
    EXPECT_EQ(control(44)->selected, 6u) << "the selection follows the pointer";
    window().pointerOverList(44, 5, {0, 80, 209, 96});
    EXPECT_EQ(control(kDpiSideListId), nullptr) << "another item takes the side list away";

    window().pointerOverList(44, 6, item6);
    window().press(centreX(*window().keyRows().sideListRect()) + 0,
                   centreY(*window().keyRows().sideListRect()));
    EXPECT_NE(control(kDpiSideListId), nullptr) << "a press on the side list keeps it";
    window().listSelected(kDpiSideListId, 3);
    EXPECT_EQ(record.modeA.function[3], 6);
    EXPECT_EQ(record.dpiSwitchA[3], 4);
    EXPECT_EQ(rows.setA[3], u"Shift DPI");
    EXPECT_EQ(control(44), nullptr);
    EXPECT_EQ(control(kDpiSideListId), nullptr);

    // Under key set B the B array takes it.
    pressAt(kKeySetBRect);
    openRow(3);
    window().pointerOverList(44, 6, item6);
    window().listSelected(kDpiSideListId, 2);
    EXPECT_EQ(record.dpiSwitchB[3], 3);
    EXPECT_EQ(record.dpiSwitchA[3], 4);
    EXPECT_EQ(rows.setB[3], u"DPI Loop");
}

TEST_F(Window, ParameterDialogsStoreTheirResult) {
    dialogs.windows = ListChoice{2, u"Calculator"};
    dialogs.media = ListChoice{3, u"Next"};
    dialogs.fire = FireChoice{5, u"F5", 40, 3};
    dialogs.single.emplace(u"Q"); // constructed: GCC 12 -O3 warns falsely on the assignment
    dialogs.combo = ComboChoice{u"Left Ctrl", u"C", u""};
    dialogs.macro = MacroChoice{4, 3, u"Reload"};
    const struct {
        std::size_t position;
        std::u16string_view text;
    } cases[] = {
        {8, u"Calculator"},    {9, u"Multimedia-Next"},        {10, u"Fire Key-F5"},
        {11, u"Single Key-Q"}, {12, u"Combo Key-Left Ctrl+C"}, {13, u"Macro Key-Reload"},
    };
    for (const auto& c : cases) {
        openRow(2);
        choose(2, c.position);
        EXPECT_EQ(record.modeA.function[2], c.position);
        EXPECT_EQ(rows.setA[2], c.text);
    }
    const ButtonTable& t = record.modeA;
    EXPECT_EQ(t.windowsChoice[2], 2);
    EXPECT_EQ(t.mediaChoice[2], 3);
    EXPECT_NE(t.mediaCode[2], 0);
    EXPECT_EQ(t.fireChoice[2], 5);
    EXPECT_NE(t.fireKey[2], 0);
    EXPECT_EQ(t.fireSpeed[2], 40);
    EXPECT_EQ(t.fireTimes[2], 3);
    EXPECT_NE(t.singleKey[2], 0);
    EXPECT_NE(t.comboModifiers[2], 0);
    EXPECT_NE(t.comboKey1[2], 0);
    EXPECT_EQ(t.comboKey2[2], 0);
    EXPECT_EQ(t.macroIndex[2], 4);
    EXPECT_EQ(t.macroLoopMode[2], 2);
}

TEST_F(Window, CancelledDialogChangesNothing) {
    openRow(1);
    choose(1, 10); // fire key, and the dialog answers Cancel
    EXPECT_EQ(record.modeA.function[1], 1);
    EXPECT_EQ(rows.setA[1], u"Right Click");
    EXPECT_EQ(control(42), nullptr) << "the list closes with the dialog";
}

TEST_F(Window, ComboRowTexts) {
    const struct {
        ComboChoice choice;
        std::u16string_view text;
    } cases[] = {
        {{u"Left Shift", u"", u""}, u"Combo Key-Left Shift"},
        {{u"", u"A", u"B"}, u"Combo Key-A+B"},
        {{u"Left Ctrl", u"C", u"V"}, u"Combo Key-Left Ctrl+C+V"},
        {{u"Nothing", u"Nope", u""}, u"Combo Key-"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(comboRowText(u"Combo Key", c.choice), c.text);
    }
}

TEST_F(Window, KeySetsAndDefault) {
    openRow(4);
    choose(4, 5);
    pressAt(kKeySetBRect);
    EXPECT_EQ(record.activeMode, 1);
    EXPECT_TRUE(drawn(u"/button-over.png", kKeySetBRect));
    EXPECT_TRUE(drawn(u"/button-normal.png", kKeySetARect));
    const auto shown = texts();
    EXPECT_NE(std::find(shown.begin(), shown.end(), u"Backward"), shown.end())
        << "Mode B shows its own texts";
    openRow(1);
    choose(1, 2);
    EXPECT_EQ(record.modeB.function[1], 2);
    EXPECT_EQ(record.modeA.function[1], 1);

    pressAt(kKeyDefaultRect);
    EXPECT_EQ(record.activeMode, 1) << "Default keeps the key set";
    EXPECT_EQ(record.modeA.function[4], 4);
    EXPECT_EQ(record.modeB.function[1], 1);
    EXPECT_EQ(rows.setA[4], u"Backward");
    EXPECT_EQ(rows.setB[1], u"Right Click");
    pressAt(kKeySetARect);
    EXPECT_EQ(record.activeMode, 0);
}

// --- DPI area --------------------------------------------------------------------------------

TEST_F(Window, DpiLabelsAndStepsBySensorType) {
    const struct {
        std::uint8_t type;
        std::size_t labels;
        std::u16string_view first, last;
        int labelLeft;
    } cases[] = {{0, 12, u"250", u"4000", 514},
                 {1, 8, u"600", u"3200", 494},
                 {3, 8, u"400", u"3200", 494},
                 {9, 12, u"250", u"4000", 514}};
    for (const auto& c : cases) {
        sensorType = c.type;
        std::vector<SceneText> labels;
        std::size_t steps = 0;
        for (const auto& d : sceneNow().drawings) {
            if (const auto* t = std::get_if<SceneText>(&d);
                t && t->rect.right == 544 && t->rect.top >= 302 && t->rect.bottom <= 516) {
                labels.push_back(*t);
            }
            if (const auto* i = std::get_if<SceneImage>(&d);
                i && i->name.starts_with(u"/slider-DPI-") && i->area.left == 554) {
                ++steps;
            }
        }
        ASSERT_EQ(labels.size(), c.labels) << int(c.type);
        EXPECT_EQ(steps, c.labels) << int(c.type);
        EXPECT_EQ(labels.front().text, c.first);
        EXPECT_EQ(labels.back().text, c.last);
        EXPECT_EQ(labels.front().rect.left, c.labelLeft);
        EXPECT_EQ(labels.front().align, TextAlign::Right);
    }
}

TEST_F(Window, DpiStepsStagesAndColours) {
    sensorType = 1;
    record.dpiLevel[0] = 4;
    EXPECT_TRUE(drawn(u"/slider-DPI-light.png", dpiStepRect(0, 5)));
    EXPECT_TRUE(drawn(u"/slider-DPI-dark.png", dpiStepRect(0, 6)));

    pressAt(dpiStepRect(1, 5)); // step 5 of stage 2
    EXPECT_EQ(record.dpiLevel[1], 4);
    EXPECT_TRUE(drawn(u"/slider-DPI-light.png", dpiStepRect(1, 5)));
    EXPECT_TRUE(drawn(u"/slider-DPI-dark.png", dpiStepRect(1, 6)));

    // Stages go off until one is left, which stays on.
    for (std::size_t stage : {0u, 1u, 2u, 3u}) {
        pressAt(dpiOnOffRect(stage));
    }
    EXPECT_EQ(record.dpiStageOn, (std::array<std::uint8_t, 4>{0, 0, 0, 1}));
    EXPECT_TRUE(drawn(u"/Pane.png", dpiOnOffRect(0)));
    EXPECT_TRUE(drawn(u"/slider-DPI-dark.png", dpiStepRect(0, 1))) << "an off stage is all dark";
    EXPECT_TRUE(drawn(u"/PaneMakingTick.png", dpiOnOffRect(3)));
    pressAt(dpiStepRect(0, 2));
    EXPECT_EQ(record.dpiLevel[0], 1) << "a step is set on a stage that is off too";

    // The colour dialog opens only for a stage that is on.
    colourAnswer = Rgb{255, 0, 0};
    pressAt(dpiColourRect(0));
    EXPECT_EQ(colourDialogs, 0);
    pressAt(dpiColourRect(3));
    EXPECT_EQ(colourDialogs, 1);
    EXPECT_EQ(record.dpiColor[9], 255);
    EXPECT_EQ(record.dpiColor[10], 0);
    EXPECT_EQ(control(74)->fill, (Rgb{255, 0, 0}));
    colourAnswer.reset(); // Cancel
    pressAt(dpiColourRect(3));
    EXPECT_EQ(record.dpiColor[9], 255);

    // With every stage off, any box switches its stage on.
    record.dpiStageOn = {0, 0, 0, 0};
    pressAt(dpiOnOffRect(2));
    EXPECT_EQ(record.dpiStageOn[2], 1);
}

// --- lighting --------------------------------------------------------------------------------

TEST_F(Window, LightingBoxesAndLists) {
    record.ledMode = 0;
    EXPECT_EQ(control(kModeTextId)->text, u"Off");
    EXPECT_EQ(control(kParameterTextId), nullptr) << "with the lights off only Mode exists";
    EXPECT_EQ(control(kEffectTextId), nullptr);

    record.ledBreathSpeed = 2;
    record.ledEffect[1] = 2;
    pressAt(lightingBoxRect(LightingBox::Mode));
    const SceneControl* modes = control(kModeListId);
    ASSERT_NE(modes, nullptr);
    EXPECT_EQ(modes->items, (std::vector<std::u16string>{u"Standard", u"Respiration", u"Neon"}));
    window().listSelected(kModeListId, 1);
    EXPECT_EQ(record.ledMode, 2);
    EXPECT_EQ(control(kModeListId), nullptr);
    EXPECT_EQ(control(kParameterTextId)->text, u"6S") << "the other boxes appear at once";
    EXPECT_EQ(control(kEffectTextId)->text, u"RGB Flash");

    const struct {
        std::uint8_t mode;
        int bottom;
        std::size_t items;
    } heights[] = {{1, 374 + 173, 10}, {2, 374 + 93, 5}, {3, 374 + 203, 30}};
    for (const auto& h : heights) {
        record.ledMode = h.mode;
        pressAt(lightingBoxRect(LightingBox::Parameter));
        const SceneControl* list = control(kParameterListId);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->rect, (Rect{766, 377, 851, h.bottom}));
        EXPECT_EQ(list->items.size(), h.items);
        pressAt(lightingBoxRect(LightingBox::Parameter));
        EXPECT_EQ(control(kParameterListId), nullptr) << "a second press closes it";
    }

    record.ledMode = 3;
    pressAt(lightingBoxRect(LightingBox::Parameter));
    window().listSelected(kParameterListId, 28);
    EXPECT_EQ(record.ledNeonSpeed, 28);
    EXPECT_EQ(control(kParameterTextId)->text, u"14.5S");
    pressAt(lightingBoxRect(LightingBox::Effect));
    EXPECT_EQ(control(kEffectListId)->items,
              (std::vector<std::u16string>{u"RGB Flash", u"RGB Fixed On"}));
    window().listSelected(kEffectListId, 1);
    EXPECT_EQ(record.ledEffect[2], 3);

    record.ledMode = 1; // Standard has no effect list and always shows effect 1
    pressAt(lightingBoxRect(LightingBox::Effect));
    EXPECT_EQ(control(kEffectListId), nullptr);
    EXPECT_EQ(control(kEffectTextId)->text, u"RGB Effect");

    // A selection notification without an item does nothing.
    pressAt(lightingBoxRect(LightingBox::Mode));
    window().listSelected(kModeListId, std::nullopt);
    EXPECT_EQ(record.ledMode, 1);
    EXPECT_NE(control(kModeListId), nullptr);
}

TEST_F(Window, OneListOpenAtATime) {
    openRow(2);
    pressAt(lightingBoxRect(LightingBox::Mode));
    EXPECT_EQ(control(43), nullptr);
    EXPECT_NE(control(kModeListId), nullptr);
    openRow(2);
    EXPECT_EQ(control(kModeListId), nullptr);
    EXPECT_NE(control(43), nullptr);
}

// --- hover -----------------------------------------------------------------------------------

TEST_F(Window, HoverRedrawsOnlyTheChangedAreas) {
    std::vector<Rect> redraw;
    const Rect ok = frameRect(FrameArea::Ok);
    const Rect row3 = keyRowRect(2);
    EXPECT_TRUE(window().pointerMoved(centreX(ok), centreY(ok), redraw));
    EXPECT_TRUE(redraw.empty());
    EXPECT_EQ(window().hoverAt(centreX(ok), centreY(ok)), std::vector<Rect>{ok});
    EXPECT_TRUE(drawn(u"/button-over.png", ok));
    EXPECT_TRUE(window().hoverAt(centreX(ok), centreY(ok)).empty()) << "nothing changed";

    EXPECT_EQ(window().hoverAt(centreX(row3), centreY(row3)), (std::vector<Rect>{ok, row3}));
    EXPECT_TRUE(drawn(u"/button-normal.png", ok));
    EXPECT_TRUE(drawn(u"/DropdownBox-over.png", row3));
    EXPECT_TRUE(drawn(u"/DropdownBox-normal.png", keyRowRect(3)));

    EXPECT_FALSE(window().pointerMoved(450, 20, redraw));
    EXPECT_EQ(redraw, std::vector<Rect>{row3});
    EXPECT_TRUE(drawn(u"/DropdownBox-normal.png", row3));

    const Rect next = frameRect(FrameArea::NextPage);
    window().hoverAt(centreX(next), centreY(next));
    EXPECT_TRUE(drawn(u"/button-NextPage-over.png", next));
    EXPECT_TRUE(drawn(u"/button-PrePage-normal.png", frameRect(FrameArea::PreviousPage)));
    EXPECT_EQ(window().pointerLeft(), std::vector<Rect>{next});

    // A partial redraw takes everything that lies there, the page background included.
    const Scene s = sceneNow();
    std::size_t underRow = 0;
    for (const auto& d : s.drawings) {
        underRow += touches(d, row3) ? 1 : 0;
    }
    EXPECT_EQ(underRow, 4u) << "page background, box image, number and text";
}

// --- the Advanced page's pointer area ---------------------------------------------------------

TEST_F(Window, AdvancedDispatchOrderIsData) {
    const auto& table = advancedDispatchTable();
    std::vector<AdvancedTarget> order;
    for (const auto& e : table) {
        if (order.empty() || order.back() != e.target) {
            order.push_back(e.target);
        }
    }
    EXPECT_EQ(order, (std::vector<AdvancedTarget>{
                         AdvancedTarget::PrecisionBox, AdvancedTarget::OneScreenBox,
                         AdvancedTarget::PointerDefault, AdvancedTarget::StartRecording,
                         AdvancedTarget::StopRecording, AdvancedTarget::MacroButton,
                         AdvancedTarget::EventBox, AdvancedTarget::PointerStep}));
    EXPECT_EQ(table.size(), 3 + 2 + kMacroButtons + 1 + kPointerSliders * kSliderSteps);
    for (std::size_t i = 0; i < table.size(); ++i) {
        for (std::size_t j = i + 1; j < table.size(); ++j) {
            // Neighbouring macro buttons share their edge column; the first one takes it.
            const bool neighbours = table[i].target == AdvancedTarget::MacroButton &&
                                    table[j].target == AdvancedTarget::MacroButton &&
                                    table[j].index == table[i].index + 1;
            EXPECT_TRUE(neighbours || !intersects(table[i].rect, table[j].rect))
                << int(table[i].target) << "/" << table[i].index << " and " << int(table[j].target)
                << "/" << table[j].index;
        }
    }
}

TEST_F(Window, PointerAreaOnTheAdvancedPage) {
    pointerSystem.speed = 4;
    pointerSystem.lines = 5;
    pointerSystem.doubleClick = 830;
    pointerSystem.mouse = {0, 0, 0};
    window();
    EXPECT_TRUE(pointerSystem.calls.empty()) << "the Basic page reads nothing";
    // The same points on the Basic page are no pointer presses.
    const Rect speed4 = pointerStepRect(PointerSlider::MouseSpeed, 4);
    EXPECT_EQ(pressAt(speed4), WindowAction::MoveWindow);

    pressAt(frameRect(FrameArea::NextPage));
    EXPECT_EQ(record.mouseSpeedPosition, 3);
    EXPECT_EQ(record.scrollLinesPosition, 5);
    EXPECT_EQ(record.doubleClickPosition, 2);
    EXPECT_TRUE(drawn(u"/slider-light.png", pointerStepRect(PointerSlider::DoubleClick, 2)));
    EXPECT_TRUE(drawn(u"/slider-dark.png", pointerStepRect(PointerSlider::DoubleClick, 3)));

    struct Case {
        Rect at;
        std::uint8_t precision, oneScreen, speed, lines, doubleClick;
    };
    const Case presses[] = {
        {pointerStepRect(PointerSlider::MouseSpeed, 11), 0, 0, 11, 5, 2},
        {pointerStepRect(PointerSlider::ScrollLines, 1), 0, 0, 11, 1, 2},
        {pointerStepRect(PointerSlider::DoubleClick, 7), 0, 0, 11, 1, 7},
        {kPrecisionBoxRect, 1, 0, 11, 1, 7},
        {kOneScreenBoxRect, 1, 1, 11, 1, 7},
        {kPrecisionBoxRect, 0, 1, 11, 1, 7},
    };
    for (const Case& c : presses) {
        EXPECT_EQ(pressAt(c.at), WindowAction::None) << c.at.left << "," << c.at.top;
        EXPECT_EQ(record.pointerPrecision, c.precision) << c.at.left << "," << c.at.top;
        EXPECT_EQ(record.scrollOneScreen, c.oneScreen) << c.at.left << "," << c.at.top;
        EXPECT_EQ(record.mouseSpeedPosition, c.speed) << c.at.left << "," << c.at.top;
        EXPECT_EQ(record.scrollLinesPosition, c.lines) << c.at.left << "," << c.at.top;
        EXPECT_EQ(record.doubleClickPosition, c.doubleClick) << c.at.left << "," << c.at.top;
    }
    EXPECT_TRUE(drawn(u"/PaneMakingTick.png", kOneScreenBoxRect));
    EXPECT_TRUE(drawn(u"/Pane.png", kPrecisionBoxRect));
    EXPECT_TRUE(drawn(u"/slider-light.png", pointerStepRect(PointerSlider::MouseSpeed, 11)));

    // Leaving and coming back shows the user's positions, not the system's again.
    const auto reads = pointerSystem.calls.size();
    pressAt(frameRect(FrameArea::PreviousPage));
    pressAt(frameRect(FrameArea::NextPage));
    window().redrawCurrentPage();
    EXPECT_EQ(pointerSystem.calls.size(), reads);
    EXPECT_EQ(record.mouseSpeedPosition, 11);

    EXPECT_EQ(pressAt(kPointerDefaultRect), WindowAction::None);
    EXPECT_EQ(pointerSystem.speed, 10);
    EXPECT_EQ(pointerSystem.doubleClick, 500u);
    EXPECT_EQ(record.mouseSpeedPosition, 6);
    EXPECT_EQ(record.scrollOneScreen, 0);
    EXPECT_TRUE(messages.texts.empty());
    EXPECT_EQ(flow.confirms, 0) << "Default is no Apply";
}

TEST_F(Window, PointerReadWarningsAtTheFirstAdvancedDrawing) {
    pointerSystem.failGetSpeed = true;
    pointerSystem.doubleClick = 0;
    window();
    EXPECT_TRUE(messages.texts.empty());
    pressAt(frameRect(FrameArea::NextPage));
    EXPECT_EQ(messages.texts, (std::vector<std::u16string>{u"GETMOUSESPEED failed.",
                                                           u"GetDoubleClickTime failed."}));
}

TEST_F(Window, PointerDefaultHover) {
    pressAt(frameRect(FrameArea::NextPage));
    const Rect d = kPointerDefaultRect;
    EXPECT_TRUE(drawn(u"/button-normal.png", d));
    std::vector<Rect> redraw;
    EXPECT_TRUE(window().pointerMoved(centreX(d), centreY(d), redraw));
    EXPECT_EQ(window().hoverAt(centreX(d), centreY(d)), std::vector<Rect>{d});
    EXPECT_TRUE(drawn(u"/button-over.png", d));
    EXPECT_EQ(window().pointerLeft(), std::vector<Rect>{d});
    // The Basic page's key Default is no hover area here.
    EXPECT_FALSE(window().pointerMoved(centreX(kKeyDefaultRect), centreY(kKeyDefaultRect), redraw));
}

// --- control colours -------------------------------------------------------------------------

TEST(ControlColours, ByKindAndIdentifier) {
    SettingsRecord r{};
    r.dpiColor = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    const Rgb skin{200, 100, 50};
    const Rgb black{0, 0, 0};
    const Rgb green{100, 150, 100};
    const struct {
        ControlClass kind;
        int id;
        ControlPaint paint;
    } cases[] = {
        {ControlClass::Edit, 149, {skin, black, black, false}},
        {ControlClass::ListBox, 151, {skin, Rgb{2, 4, 5}, Rgb{2, 4, 5}, false}},
        {ControlClass::ListBox, 152, {skin, Rgb{2, 4, 5}, Rgb{2, 4, 5}, false}},
        {ControlClass::ListBox, 41, {Rgb{255, 255, 255}, black, black, true}},
        {ControlClass::Button, 5, {std::nullopt, std::nullopt, std::nullopt, false}},
        {ControlClass::Static, 71, {std::nullopt, std::nullopt, Rgb{1, 2, 3}, false}},
        {ControlClass::Static, 74, {std::nullopt, std::nullopt, Rgb{10, 11, 12}, false}},
        {ControlClass::Static, 86, {skin, black, black, true}},
        {ControlClass::Static, 119, {skin, black, black, true}},
        {ControlClass::Static, 89, {skin, green, green, true}},
        {ControlClass::Static, 70, {skin, green, green, true}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(controlPaint(c.kind, c.id, skin, r), c.paint) << int(c.kind) << "/" << c.id;
    }
}

} // namespace
