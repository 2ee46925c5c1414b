// The skinned-dialog frame and the skin dialog, driven by presses, hover and keys as the shell
// forwards them.
#include "ui/skinned_dialog.h"

#include "base/virtual_keys.h"
#include "keys/key_dialogs.h"
#include "ui/str_ini.h"
#include "window/skins_dialog.h"

#include "support/scene_probe.h"

#include <gtest/gtest.h>

namespace {

using namespace qor;

using test::centreX;
using test::centreY;
using test::sceneImages;
using test::sceneTexts;

TEST(SkinnedDialog, PressesEndOrToggleInTheirOrder) {
    FireKeyDialog content(Language::English);
    const StringTable strings(Language::English);
    SkinnedDialog dialog(content, strings);
    const struct {
        const char* what;
        int x, y;
        DialogEnd end;
        bool listOpenAfter;
    } steps[] = {
        {"the box opens the list", 60, 75, DialogEnd::None, true},
        {"the box again closes it", 60, 75, DialogEnd::None, false},
        {"the box opens it again", 131, 83, DialogEnd::None, true},
        {"the background closes it", 300, 120, DialogEnd::None, false},
        {"the box's right edge is outside", 132, 75, DialogEnd::None, false},
        {"the close image's corner", 352, 6, DialogEnd::Cancel, false},
        {"Cancel", centreX(kDialogCancelRect), centreY(kDialogCancelRect), DialogEnd::Cancel,
         false},
        {"OK's last pixel", 270, 273, DialogEnd::Ok, false},
        {"below OK", 200, 274, DialogEnd::None, false},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        EXPECT_EQ(dialog.press(s.x, s.y), s.end);
        EXPECT_EQ(content.followingList().has_value(), s.listOpenAfter);
    }
}

TEST(SkinnedDialog, HoverLightsOneButtonAndRedrawsWhatChanged) {
    SingleKeyDialog content(Language::English);
    const StringTable strings(Language::English);
    SkinnedDialog dialog(content, strings);
    std::vector<Rect> redraw;
    EXPECT_TRUE(dialog.pointerMoved(200, 260, redraw));
    EXPECT_EQ(dialog.hoverAt(200, 260), std::vector<Rect>{kDialogOkRect});
    EXPECT_EQ(sceneImages(dialog.scene())[0], u"/button-over.png");
    EXPECT_EQ(dialog.hoverAt(360, 10), (std::vector<Rect>{kDialogOkRect, kDialogCloseRect}));
    EXPECT_EQ(sceneImages(dialog.scene())[0], u"/button-normal.png");
    EXPECT_EQ(sceneImages(dialog.scene())[2], u"/button-close-over.png");
    EXPECT_TRUE(dialog.hoverAt(360, 10).empty()) << "nothing changed";
    EXPECT_FALSE(dialog.pointerMoved(100, 100, redraw));
    EXPECT_EQ(redraw, std::vector<Rect>{kDialogCloseRect});
    EXPECT_EQ(dialog.hoverAt(300, 260), std::vector<Rect>{kDialogCancelRect});
    EXPECT_EQ(dialog.pointerLeft(), std::vector<Rect>{kDialogCancelRect});
}

TEST(SkinnedDialog, CaptureDialogsKeepEnterEscapeAndTheWindowsKeys) {
    const StringTable strings(Language::English);
    SingleKeyDialog single(Language::English);
    ComboKeyDialog combo;
    ChoiceListDialog media(DialogKind::Multimedia, Language::English);
    SkinnedDialog singleFrame(single, strings), comboFrame(combo, strings),
        mediaFrame(media, strings);
    const struct {
        unsigned key;
        bool down;
        bool captureDiscards;
    } cases[] = {
        {kVirtualKeyReturn, true, true},
        {kVirtualKeyReturn, false, false},
        {kVirtualKeyEscape, true, true},
        {kVirtualKeyEscape, false, false},
        {kVirtualKeyLeftWindows, true, true},
        {kVirtualKeyRightWindows, false, true},
        {'A', true, false},
        {0x11 /* Ctrl */, true, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(singleFrame.keyDiscarded(c.key, c.down), c.captureDiscards) << c.key;
        EXPECT_EQ(comboFrame.keyDiscarded(c.key, c.down), c.captureDiscards) << c.key;
        EXPECT_FALSE(mediaFrame.keyDiscarded(c.key, c.down)) << c.key;
    }
    // The keyboard hook the host runs for them: each key is named by the dialog's own message
    // and goes on unless discarded; a dialog that captures nothing passes every key on.
    EXPECT_TRUE(singleFrame.hooksKeysAtOpen());
    EXPECT_TRUE(comboFrame.hooksKeysAtOpen());
    EXPECT_FALSE(mediaFrame.hooksKeysAtOpen());
    for (const auto& c : cases) {
        const std::uint32_t flags = c.down ? 0 : kKeyReleasedBit | kKeyWasDownBit;
        const KeyHookVerdict verdict =
            c.captureDiscards ? KeyHookVerdict::Discard : KeyHookVerdict::Handled;
        EXPECT_EQ(singleFrame.keyHooked(kHookAction, c.key, u"A", flags),
                  (KeyHookAnswer{verdict, kSingleKeyCapturedMessage}))
            << c.key;
        EXPECT_EQ(comboFrame.keyHooked(kHookAction, c.key, u"A", flags),
                  (KeyHookAnswer{verdict, kComboKeyCapturedMessage}))
            << c.key;
        EXPECT_EQ(mediaFrame.keyHooked(kHookAction, c.key, u"A", flags), KeyHookAnswer{}) << c.key;
    }
    // A key peeked at, not taken from the queue (HC_NOREMOVE), is no capture.
    EXPECT_EQ(singleFrame.keyHooked(3, 'A', u"", 0), KeyHookAnswer{});
}

TEST(SkinnedDialog, ButtonsSpeakTheLanguageAndTraitsNameTheTemplates) {
    const struct {
        Language language;
        std::u16string_view ok, cancel;
    } cases[] = {{Language::English, u"OK", u"Cancel"},
                 {Language::SimplifiedChinese, u"确定", u"取消"},
                 {Language::TraditionalChinese, u"確定", u"取消"}};
    for (const auto& c : cases) {
        const StringTable strings(c.language);
        SingleKeyDialog content(c.language);
        SkinnedDialog dialog(content, strings);
        const auto shown = sceneTexts(dialog.scene());
        ASSERT_GE(shown.size(), 2u);
        EXPECT_EQ(shown[0], c.ok);
        EXPECT_EQ(shown[1], c.cancel);
    }
    const DialogKind kinds[] = {DialogKind::SingleKey,  DialogKind::WindowsFunction,
                                DialogKind::Multimedia, DialogKind::FireKey,
                                DialogKind::MacroKey,   DialogKind::ComboKey,
                                DialogKind::DelayTime,  DialogKind::Skins};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(dialogTraits(kinds[i]).templateId, 701 + i);
        EXPECT_EQ(dialogTraits(kinds[i]).capturesKeys,
                  kinds[i] == DialogKind::SingleKey || kinds[i] == DialogKind::ComboKey);
    }
    EXPECT_EQ(dialogTraits(DialogKind::FireKey).background, u"/fire-key.png");
    EXPECT_EQ(dialogTraits(DialogKind::Skins).failureCaption,
              u"Skins Dialog Load background image failed!!!");
}

TEST(SkinnedDialog, TheKeysGoToTheFirstEnabledFieldUnlessAFieldOrListHasThem) {
    Scene s;
    s.controls.push_back(staticControl(1, {0, 0, 10, 10}, u"face", TextAlign::Left));
    SceneControl disabled = editControl(2, {0, 20, 10, 30}, u"", TextAlign::Left);
    disabled.enabled = false;
    s.controls.push_back(disabled);
    s.controls.push_back(editControl(3, {0, 40, 10, 50}, u"", TextAlign::Left));
    s.controls.push_back(editControl(4, {0, 60, 10, 70}, u"", TextAlign::Left));
    s.controls.push_back(listControl(5, {0, 80, 10, 90}, {u"a"}, std::nullopt));
    const struct {
        std::optional<int> focused;
        std::optional<int> moveTo;
    } cases[] = {
        {std::nullopt, 3}, // nothing of the dialog: the first enabled field
        {1, 3},            // a static the dialog manager chose
        {9, 3},            // a list that has gone
        {4, std::nullopt}, // the second field keeps it
        {5, std::nullopt}, // an open list keeps it
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fieldToFocus(s, c.focused), c.moveTo) << c.focused.value_or(-1);
    }
    Scene noFields;
    noFields.controls.push_back(s.controls[0]);
    EXPECT_EQ(fieldToFocus(noFields, std::nullopt), std::nullopt);
}

TEST(SkinnedDialog, AMissingBackgroundShowsTheErrorBoxThenCancels) {
    const StringTable strings(Language::English);
    const struct {
        DialogKind kind;
        std::u16string_view background, caption;
    } cases[] = {
        {DialogKind::SingleKey, u"/single-key.png",
         u"Single Key Dialog Load background image failed!!!"},
        {DialogKind::FireKey, u"/fire-key.png", u"FireKey Dialog Load background image failed!!!"},
        {DialogKind::ComboKey, u"/combo-key.png", u"Combo Dialog Load background image failed!!!"},
        {DialogKind::Skins, u"/skins.png", u"Skins Dialog Load background image failed!!!"},
    };
    for (const auto& c : cases) {
        // Any content of the kind: only the frame's traits count.
        struct Content final : DialogContent {
            explicit Content(DialogKind k) : k_(k) {}
            DialogKind kind() const override { return k_; }
            Scene scene() const override { return {}; }
            DialogKind k_;
        } content(c.kind);
        const SkinnedDialog dialog(content, strings);
        EXPECT_EQ(dialog.background(), c.background);
        EXPECT_EQ(dialog.backgroundMissing(),
                  (MissingBackground{u"error", std::u16string(c.caption), HostAction::Cancel}));
    }
}

TEST(SkinnedDialog, ACapturedKeyGoesToTheEditThatHasTheFocus) {
    const StringTable strings(Language::English);
    ComboKeyDialog combo;
    SkinnedDialog frame(combo, strings);
    const auto shown = [&](int id) { return frame.scene().control(id)->text; };
    const struct {
        std::optional<int> focused;
        std::optional<int> edit;
    } cases[] = {
        {ComboKeyDialog::kFirstKeyEdit, ComboKeyDialog::kFirstKeyEdit},
        {ComboKeyDialog::kSecondKeyEdit, ComboKeyDialog::kSecondKeyEdit},
        {ComboKeyDialog::kModifierFace, std::nullopt}, // a static
        {9, std::nullopt},                             // none of the scene's
        {std::nullopt, std::nullopt},                  // nothing of the dialog
    };
    for (const auto& c : cases) {
        EXPECT_EQ(captureEdit(frame.scene(), c.focused), c.edit) << c.focused.value_or(-1);
    }
    frame.keyNamed(u"C", ComboKeyDialog::kSecondKeyEdit);
    frame.keyNamed(u"D", ComboKeyDialog::kModifierFace);
    frame.keyNamed(u"E", std::nullopt);
    EXPECT_EQ(shown(ComboKeyDialog::kFirstKeyEdit), u"");
    EXPECT_EQ(shown(ComboKeyDialog::kSecondKeyEdit), u"C");
    frame.keyNamed(u"Left Shift", ComboKeyDialog::kFirstKeyEdit);
    EXPECT_EQ(shown(ComboKeyDialog::kFirstKeyEdit), u"Left Shift");
}

TEST(SkinnedDialog, TheHostsPressesAndCommandsEndTheDialog) {
    FireKeyDialog content(Language::English);
    const StringTable strings(Language::English);
    SkinnedDialog dialog(content, strings);
    EXPECT_EQ(dialog.pressAt(60, 75), HostAction::None);
    EXPECT_TRUE(content.followingList()) << "the box opened its list";
    EXPECT_EQ(dialog.wheelList(), FireKeyDialog::kKeyList);
    dialog.listChosen(FireKeyDialog::kKeyList, std::nullopt, false);
    EXPECT_TRUE(content.followingList()) << "no item: nothing chosen";
    dialog.listChosen(FireKeyDialog::kKeyList, 2, true);
    EXPECT_FALSE(dialog.wheelList());
    EXPECT_EQ(dialog.pressAt(centreX(kDialogOkRect), centreY(kDialogOkRect)), HostAction::Ok);
    EXPECT_EQ(dialog.pressAt(centreX(kDialogCloseRect), centreY(kDialogCloseRect)),
              HostAction::Cancel);
    EXPECT_EQ(dialog.commandChosen(kOkCommand), HostAction::Ok);
    EXPECT_EQ(dialog.commandChosen(kCancelCommand), HostAction::Cancel);
    EXPECT_EQ(dialog.commandChosen(kDeleteMacroLineCommand), HostAction::None);
}

TEST(SkinnedDialog, TheWheelScrollsThreeLinesANotch) {
    const struct {
        int delta;
        bool down;
        int lines;
    } cases[] = {{120, false, 3}, {-120, true, 3}, {0, true, 3},
                 {240, false, 6}, {30, false, 3},  {-360, true, 9}};
    for (const auto& c : cases) {
        const ListScroll s = listScrollForWheel(c.delta);
        EXPECT_EQ(s.down, c.down) << c.delta;
        EXPECT_EQ(s.lines, c.lines) << c.delta;
    }
}

class SkinsDialogTest : public ::testing::Test {
protected:
    SkinsDialog make() {
        return SkinsDialog(
            SkinChoice{u"Obsidian", u"C:/Qor//Skins/Obsidian", Rgb{255, 255, 255}},
            u"C:/Qor//Skins", Language::English,
            [this] {
                ++searches;
                return folders;
            },
            [this] {
                ++colourDialogs;
                return colour;
            });
    }
    std::vector<std::u16string> folders{u"Ember", u"Obsidian"};
    std::optional<Rgb> colour;
    int searches = 0;
    int colourDialogs = 0;
};

TEST_F(SkinsDialogTest, TheFolderListComesFromTheRootWhenItOpens) {
    SkinsDialog d = make();
    EXPECT_EQ(searches, 0);
    d.pressBox(100, 135);
    EXPECT_EQ(searches, 1);
    const Scene scene = d.scene();
    ASSERT_NE(scene.control(SkinsDialog::kFolderList), nullptr);
    EXPECT_EQ(scene.control(SkinsDialog::kFolderList)->items, folders);
    d.chooseItem(SkinsDialog::kFolderList, 0);
    EXPECT_EQ(d.result().name, u"Ember");
    EXPECT_EQ(d.result().folder, u"C:/Qor//Skins/Ember");
    const Scene after = d.scene();
    EXPECT_EQ(after.control(SkinsDialog::kNameFace)->text, u"Ember");
    EXPECT_TRUE(after.control(SkinsDialog::kNameFace)->sunken);
    EXPECT_EQ(after.control(SkinsDialog::kFolderList), nullptr);
}

TEST_F(SkinsDialogTest, AFolderGoneOrRenamedBeforeTheChoiceKeepsTheOldFolder) {
    SkinsDialog d = make();
    d.pressBox(100, 135);
    folders = {u"ember", u"Obsidian"}; // renamed while the list was open
    d.chooseItem(SkinsDialog::kFolderList, 0);
    EXPECT_EQ(d.result().name, u"Ember") << "the name is still taken";
    EXPECT_EQ(d.result().folder, u"C:/Qor//Skins/Obsidian");
}

TEST_F(SkinsDialogTest, TheColourBoxAsksTheColourDialog) {
    SkinsDialog d = make();
    d.pressBox(100, 135); // the list is open: the colour press closes it too
    colour = Rgb{10, 20, 30};
    EXPECT_TRUE(d.pressBox(50, 100));
    EXPECT_EQ(colourDialogs, 1);
    EXPECT_EQ(d.result().textColour, (Rgb{10, 20, 30}));
    EXPECT_EQ(d.scene().control(SkinsDialog::kColourBox)->fill, (Rgb{10, 20, 30}));
    EXPECT_FALSE(d.followingList());
    colour.reset(); // Cancel in the colour dialog
    d.pressBox(50, 100);
    EXPECT_EQ(d.result().textColour, (Rgb{10, 20, 30}));
}

TEST(SkinFolder, NamesThatLeaveTheRootAreNotFollowed) {
    const struct {
        std::u16string_view name;
        bool stays;
    } cases[] = {
        {u"Obsidian", true},
        {u"", true},
        {u"Dark Blue", true},
        {u"a..b", true},
        {u"Sub/Inner", true},
        {u"..", false},
        {u"../Other", false},
        {u"x/../../y", false},
        {u"x\\..", false},
        {u"C:\\Skins", false},
        {u"C:x", false},
        {u"/etc", false},
        {u"\\\\server\\share", false},
    };
    for (const auto& c : cases) {
        const std::string shown(c.name.begin(), c.name.end());
        EXPECT_EQ(skinNameStaysInRoot(c.name), c.stays) << shown;
        EXPECT_EQ(skinFolder(u"C:/Qor/", c.name),
                  c.stays ? u"C:/Qor//Skins/" + std::u16string(c.name) : u"C:/Qor//Skins/")
            << shown;
    }
}

} // namespace
