// The key dialogs driven as the shell drives them, through their frame and content: presses at
// client points, list choices, typed and captured keys; then what the key rows store from their
// result, down to the binding word the mouse receives.
#include "keys/key_dialogs.h"

#include "keys/binding_word.h"
#include "keys/key_tables.h"
#include "keys/macro_key_dialog.h"
#include "settings/settings_state.h"
#include "ui/str_ini.h"

#include "support/scene_probe.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>

namespace {

using namespace qor;

using test::centreX;
using test::centreY;
// A copy: the scene is gone after the call.
std::optional<SceneControl> control(const DialogContent& content, int id) {
    const Scene scene = content.scene();
    const SceneControl* c = scene.control(id);
    return c == nullptr ? std::nullopt : std::optional<SceneControl>(*c);
}
std::size_t fireKeyPosition(std::u16string_view name) {
    const auto table = fireKeyTable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].text == name) {
            return i;
        }
    }
    ADD_FAILURE() << "no fire key of that name";
    return 0;
}

// A script works the dialog as a user would and ends it through the frame.
using Script = std::function<DialogEnd(SkinnedDialog&)>;

class ScriptedRunner final : public DialogRunner {
public:
    std::deque<Script> scripts;
    std::vector<DialogKind> ran;
    bool run(DialogContent& content) override {
        ran.push_back(content.kind());
        const StringTable strings(Language::English);
        SkinnedDialog dialog(content, strings);
        const Script script = scripts.front();
        scripts.pop_front();
        return script(dialog) == DialogEnd::Ok;
    }
};

DialogEnd pressOk(SkinnedDialog& d) {
    return d.press(centreX(kDialogOkRect), centreY(kDialogOkRect));
}
DialogEnd pressCancel(SkinnedDialog& d) {
    return d.press(centreX(kDialogCancelRect), centreY(kDialogCancelRect));
}

class NoMessages final : public MessageSink {
public:
    void show(std::u16string_view, std::u16string_view) override { ADD_FAILURE(); }
};

class KeyDialogsFlow : public ::testing::Test {
protected:
    KeyDialogsFlow() {
        restoreKeyDefaults(record);
        setFirstRunKeyRowTexts(texts, strings);
    }
    // Chooses `position` for row 3 of Mode A with the dialog worked by `script`.
    void chooseForRow3(std::size_t position, Script script) {
        runner.scripts.push_back(std::move(script));
        rows.pressRow(2);
        rows.chooseFunction(position);
    }
    std::uint32_t word() const { return encodeButton(record.modeA, record.dpiSwitchA, 2).value(); }

    SettingsRecord record{};
    KeyRowTexts texts;
    StringTable strings{Language::English};
    NoMessages messages;
    ScriptedRunner runner;
    SkinnedKeyDialogs dialogs{runner, Language::English, [] {
                                  return std::vector<std::u16string>{u"Reload", u"Combo"};
                              }};
    KeyRows rows{record, texts, strings, messages, dialogs};
};

TEST_F(KeyDialogsFlow, EachDialogsResultReachesTheRowAndTheBindingWord) {
    const auto box = [](DialogContent& c, int x, int y) { return c.pressBox(x, y); };
    const struct {
        const char* what;
        std::size_t position;
        Script script;
        std::u16string_view text;
        std::uint32_t word;
    } cases[] = {
        {"fire key confirmed at once", 10, pressOk, u"Fire Key-A", 0x0120040A},
        {"fire key R-CTRL, speed 9, twice", 10,
         [&](SkinnedDialog& d) {
             auto& c = d.content();
             box(c, 60, 75);
             c.chooseItem(FireKeyDialog::kKeyList, fireKeyPosition(u"R-CTRL"));
             c.textChanged(FireKeyDialog::kSpeedEdit, u"9");
             c.focusLost(FireKeyDialog::kSpeedEdit);
             c.textChanged(FireKeyDialog::kTimesEdit, u"2");
             return pressOk(d);
         },
         u"Fire Key-R-CTRL", 0x0209E40A},
        {"combo with a modifier only", 12,
         [&](SkinnedDialog& d) {
             auto& c = d.content();
             box(c, 60, 75);
             c.chooseItem(ComboKeyDialog::kModifierList, 1);
             return pressOk(d);
         },
         u"Combo Key-Left Shift", 0x00000200},
        {"combo Left Ctrl + C", 12,
         [&](SkinnedDialog& d) {
             auto& c = d.content();
             box(c, 60, 75);
             c.chooseItem(ComboKeyDialog::kModifierList, 0);
             c.keyCaptured(u"C", ComboKeyDialog::kFirstKeyEdit);
             return pressOk(d);
         },
         u"Combo Key-Left Ctrl+C", 0x00060100},
        {"multimedia confirmed at once", 9, pressOk, u"Multimedia-Next", 0x00B50003},
        {"Windows: Calculator", 8,
         [&](SkinnedDialog& d) {
             auto& c = d.content();
             box(c, 50, 135);
             c.chooseItem(ChoiceListDialog::kWindowsList, 2);
             return pressOk(d);
         },
         u"Calculator", 0x01920003},
        {"single key A", 11,
         [](SkinnedDialog& d) {
             d.content().keyCaptured(u"A", std::nullopt);
             return pressOk(d);
         },
         u"Single Key-A", 0x00040000},
        {"single key confirmed without a key", 11, pressOk, u"Single Key-", 0x00000000},
        {"macro confirmed without a choice", 13, pressOk, u"Macro Key-", 0x00010009},
        {"macro 2, loop mode 3", 13,
         [&](SkinnedDialog& d) {
             auto& c = d.content();
             box(c, 60, 75);
             c.chooseItem(MacroKeyDialog::kList, 1);
             const Rect check = loopModeCheckRect(3);
             d.press(centreX(check), centreY(check));
             return pressOk(d);
         },
         u"Macro Key-Combo", 0x00020209},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        chooseForRow3(c.position, c.script);
        EXPECT_EQ(record.modeA.function[2], c.position);
        EXPECT_EQ(texts.setA[2], c.text);
        EXPECT_EQ(word(), c.word) << std::hex << word();
    }
    EXPECT_TRUE(runner.scripts.empty());
}

TEST_F(KeyDialogsFlow, CancelAndTheCloseImageLeaveTheRowAsItWas) {
    const Rect close = kDialogCloseRect;
    const Script ends[] = {
        pressCancel,
        [&](SkinnedDialog& d) { return d.press(centreX(close), centreY(close)); },
    };
    for (const auto& end : ends) {
        for (std::size_t position = 8; position <= 13; ++position) {
            chooseForRow3(position, [&](SkinnedDialog& d) {
                d.content().keyCaptured(u"Q", ComboKeyDialog::kFirstKeyEdit);
                return end(d);
            });
            EXPECT_EQ(record.modeA.function[2], 2);
            EXPECT_EQ(texts.setA[2], u"Mid Click");
        }
    }
}

TEST(FireKeyDialog, SpeedIsCheckedWhenLeftAndTimesAtEveryChange) {
    const struct {
        int edit;
        std::u16string_view typed;
        bool leave;
        std::u16string_view shown;
        std::uint8_t speed;
        std::uint8_t times;
    } cases[] = {
        {FireKeyDialog::kSpeedEdit, u"3", false, u"3", 5, 1}, // not yet left
        {FireKeyDialog::kSpeedEdit, u"3", true, u"5", 5, 1},
        {FireKeyDialog::kSpeedEdit, u"300", true, u"5", 5, 1},
        {FireKeyDialog::kSpeedEdit, u"", true, u"5", 5, 1},
        {FireKeyDialog::kSpeedEdit, u"255", true, u"255", 255, 1},
        {FireKeyDialog::kSpeedEdit, u"5", true, u"5", 5, 1},
        {FireKeyDialog::kSpeedEdit, u"99999999999", true, u"5", 5, 1},
        {FireKeyDialog::kTimesEdit, u"0", false, u"0", 32, 0},
        {FireKeyDialog::kTimesEdit, u"255", false, u"255", 32, 255},
        {FireKeyDialog::kTimesEdit, u"256", false, u"1", 32, 1},
        {FireKeyDialog::kTimesEdit, u"", false, u"", 32, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.typed.begin(), c.typed.end()));
        FireKeyDialog d(Language::English);
        d.textChanged(c.edit, c.typed);
        if (c.leave) {
            d.focusLost(c.edit);
        }
        const auto field = control(d, c.edit);
        ASSERT_TRUE(field);
        EXPECT_EQ(field->text, c.shown);
        EXPECT_EQ(d.result().speed, c.speed);
        EXPECT_EQ(d.result().times, c.times);
    }
}

TEST(FireKeyDialog, TheOpenListDisablesTheFieldsAndFollowsThePointer) {
    FireKeyDialog d(Language::English);
    const StringTable strings(Language::English);
    SkinnedDialog frame(d, strings);
    const auto enabled = [&](int id) { return control(d, id)->enabled; };
    frame.press(60, 75);
    ASSERT_EQ(d.followingList(), FireKeyDialog::kKeyList);
    EXPECT_FALSE(enabled(FireKeyDialog::kSpeedEdit));
    EXPECT_FALSE(enabled(FireKeyDialog::kTimesEdit));
    const auto list = control(d, FireKeyDialog::kKeyList);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->items.size(), kFireKeyCount);
    d.pointerOverItem(FireKeyDialog::kKeyList, 7);
    EXPECT_EQ(control(d, FireKeyDialog::kKeyList)->selected, 7u);
    // A press elsewhere closes it without a choice.
    EXPECT_EQ(frame.press(300, 150), DialogEnd::None);
    EXPECT_EQ(control(d, FireKeyDialog::kKeyList), std::nullopt);
    EXPECT_TRUE(enabled(FireKeyDialog::kSpeedEdit));
    EXPECT_EQ(d.result().name, u"A");
    // A press on OK while the list is open closes the list and ends the dialog.
    frame.press(60, 75);
    EXPECT_EQ(pressOk(frame), DialogEnd::Ok);
    EXPECT_FALSE(d.followingList());
}

TEST(FireKeyDialog, ChoicesGiveTheirCodes) {
    const struct {
        std::u16string_view name;
        std::uint8_t code;
    } cases[] = {{u"R-CTRL", 0xE4}, {u"B4-Button", 0xF3}, {u"R-Tilt Wheel", 0xF6}};
    for (const auto& c : cases) {
        FireKeyDialog d(Language::English);
        d.pressBox(60, 75);
        d.chooseItem(FireKeyDialog::kKeyList, fireKeyPosition(c.name));
        EXPECT_EQ(d.result().name, c.name);
        EXPECT_EQ(fireKeyCode(d.result().position), c.code);
    }
}

TEST(CaptureDialogs, KeysNamesAndFocus) {
    SingleKeyDialog single(Language::English);
    single.keyCaptured(u"Ctrl", std::nullopt);
    EXPECT_EQ(single.keyName(), u"Ctrl");
    EXPECT_EQ(keyCodeOfName(single.keyName()), 0xE0);
    single.keyCaptured(std::u16string(40, u'x'), std::nullopt);
    EXPECT_EQ(single.keyName().size(), kKeyNameMaxLength);
    EXPECT_EQ(control(single, 502)->text, single.keyName());

    ComboKeyDialog combo;
    const struct {
        std::optional<int> focus;
        std::u16string_view key;
        std::u16string_view key1;
        std::u16string_view key2;
    } steps[] = {
        {std::nullopt, u"A", u"", u""}, // no edit has the focus: nothing
        {ComboKeyDialog::kFirstKeyEdit, u"B", u"B", u""},
        {ComboKeyDialog::kSecondKeyEdit, u"Enter", u"B", u"Enter"},
        {ComboKeyDialog::kModifierFace, u"C", u"B", u"Enter"},
        {ComboKeyDialog::kFirstKeyEdit, u"Esc", u"Esc", u"Enter"},
    };
    for (const auto& s : steps) {
        combo.keyCaptured(s.key, s.focus);
        EXPECT_EQ(combo.result().key1, s.key1);
        EXPECT_EQ(combo.result().key2, s.key2);
        EXPECT_EQ(control(combo, ComboKeyDialog::kFirstKeyEdit)->text, s.key1);
    }
    EXPECT_TRUE(control(combo, ComboKeyDialog::kFirstKeyEdit)->readOnly);
    combo.pressBox(60, 75);
    EXPECT_FALSE(control(combo, ComboKeyDialog::kSecondKeyEdit)->enabled);
    EXPECT_EQ(control(combo, ComboKeyDialog::kModifierList)->items.size(), kModifierCount);
    combo.pressBox(60, 75);
    EXPECT_EQ(control(combo, ComboKeyDialog::kModifierList), std::nullopt);
    EXPECT_TRUE(control(combo, ComboKeyDialog::kSecondKeyEdit)->enabled);
}

TEST(ChoiceListDialogs, ListsFollowTheLanguageAndStartFromTheFirstEntry) {
    const struct {
        DialogKind kind;
        Language language;
        int list;
        std::size_t count;
        std::u16string_view first;
    } cases[] = {
        {DialogKind::Multimedia, Language::English, ChoiceListDialog::kMediaList, kMediaCount,
         u"Next"},
        {DialogKind::WindowsFunction, Language::English, ChoiceListDialog::kWindowsList,
         kWindowsFunctionCount, u"Multimedia Player"},
        {DialogKind::Multimedia, Language::SimplifiedChinese, ChoiceListDialog::kMediaList,
         kMediaCount, mediaTable()[0].simplifiedChinese},
        {DialogKind::WindowsFunction, Language::TraditionalChinese, ChoiceListDialog::kWindowsList,
         kWindowsFunctionCount, windowsFunctionTable()[0].traditionalChinese},
    };
    for (const auto& c : cases) {
        ChoiceListDialog d(c.kind, c.language);
        EXPECT_EQ(d.result().position, 0u);
        EXPECT_EQ(d.result().name, c.first);
        d.pressBox(50, 135);
        const auto list = control(d, c.list);
        ASSERT_TRUE(list);
        EXPECT_EQ(list->items.size(), c.count);
        EXPECT_EQ(list->items[0], c.first);
        d.chooseItem(c.list, c.count - 1);
        EXPECT_EQ(d.result().position, c.count - 1);
        EXPECT_EQ(control(d, c.list), std::nullopt);
        d.chooseItem(c.list, 0); // a list that is not open chooses nothing
        EXPECT_EQ(d.result().position, c.count - 1);
    }
}

TEST(MacroKeyDialog, LoopModesAreExclusiveAndTheListIsRecordIniInOrder) {
    MacroKeyDialog d({u"First", u"Second", u"Third"}, Language::English);
    const auto ticked = [&] {
        std::vector<std::size_t> modes;
        const Scene scene = d.scene();
        for (const auto& drawing : scene.drawings) {
            const auto* image = std::get_if<SceneImage>(&drawing);
            for (std::size_t m = 1; image != nullptr && m <= kLoopModes; ++m) {
                if (image->area == loopModeCheckRect(m) && image->name == u"/PaneMakingTick.png") {
                    modes.push_back(m);
                }
            }
        }
        return modes;
    };
    EXPECT_EQ(ticked(), std::vector<std::size_t>{1});
    for (std::size_t m : {3u, 2u, 2u, 1u}) {
        d.pressBox(centreX(loopModeTextRect(m)), centreY(loopModeCheckRect(m)));
        EXPECT_EQ(ticked(), std::vector<std::size_t>{m});
        EXPECT_EQ(d.result().loopMode, m);
    }
    d.pressBox(60, 75);
    EXPECT_EQ(control(d, MacroKeyDialog::kList)->items,
              (std::vector<std::u16string>{u"First", u"Second", u"Third"}));
    d.pressBox(60, 75); // closed again
    d.pressBox(60, 75);
    d.chooseItem(MacroKeyDialog::kList, 2);
    EXPECT_EQ(d.result().index, 2u);
    EXPECT_EQ(d.result().name, u"Third");
    EXPECT_EQ(control(d, MacroKeyDialog::kFace)->text, u"Third");
}

TEST(MacroKeyDialog, APressOnALoopModeOutsideTheOpenListClosesItAndPicksTheMode) {
    const StringTable strings(Language::English);
    MacroKeyDialog d({u"First", u"Second", u"Third"}, Language::English);
    SkinnedDialog frame(d, strings);
    const auto ticked = [&](std::size_t mode) {
        return test::drawsImage(d.scene(), u"/PaneMakingTick.png", loopModeCheckRect(mode));
    };
    // The list (x 50 to 132) lies beside the check marks (x 20 to 36), over a part of the texts.
    const struct {
        const char* what;
        int x, y;
        std::size_t mode; // checked afterwards
    } cases[] = {
        {"mode 3's check mark", centreX(loopModeCheckRect(3)), centreY(loopModeCheckRect(3)), 3},
        {"mode 2's check mark", centreX(loopModeCheckRect(2)), centreY(loopModeCheckRect(2)), 2},
        {"mode 1's text beside the list", 200, centreY(loopModeCheckRect(1)), 1},
        {"mode 3's text left of the list", 45, centreY(loopModeCheckRect(3)), 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        frame.pressAt(60, 75);
        ASSERT_TRUE(control(d, MacroKeyDialog::kList)) << "the list is open";
        EXPECT_EQ(frame.pressAt(c.x, c.y), HostAction::None);
        EXPECT_EQ(control(d, MacroKeyDialog::kList), std::nullopt) << "the list closed";
        for (std::size_t m = 1; m <= kLoopModes; ++m) {
            EXPECT_EQ(ticked(m), m == c.mode) << "mode " << m;
        }
        EXPECT_EQ(d.result().loopMode, c.mode);
    }
    // A press inside the list's rectangle is the list's (the window sends none): it only
    // closes the list.
    frame.pressAt(60, 75);
    frame.pressAt(100, centreY(loopModeCheckRect(2)));
    EXPECT_EQ(control(d, MacroKeyDialog::kList), std::nullopt);
    EXPECT_EQ(d.result().loopMode, 3u);
}

} // namespace
