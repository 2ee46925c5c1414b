#include "profile/profiles_dialog.h"

#include "settings/file_system_std.h"
#include "support/scratch_dir.h"

#include <gtest/gtest.h>

namespace qor {
namespace {

using Kind = ProfileChange::Kind;

ManagedProfile row(std::u16string name, std::vector<std::u16string> programs = {},
                   bool isDefault = false) {
    return {name, name, std::move(programs), isDefault, true, false};
}

TEST(ProfileChanges, DeletionsThenRenamesThenProgramsAndAMovedDefault) {
    const std::vector<ManagedProfile> before = {row(u"A", {u"a.exe"}, true), row(u"B"),
                                                row(u"C", {u"c.exe"})};
    struct Case {
        const char* what;
        std::function<void(std::vector<ManagedProfile>&)> edit;
        std::vector<ProfileChange> expected;
    } cases[] = {
        {"nothing changed", [](auto&) {}, {}},
        {"the Default mark moves: cleared first, then set",
         [](auto& w) {
             w[0].isDefault = false;
             w[2].isDefault = true;
         },
         {{Kind::SetDefault, u"A", {}, {}, false}, {Kind::SetDefault, u"C", {}, {}, true}}},
        {"renamed and given a program: the program goes to the new name",
         [](auto& w) {
             w[1].name = u"Bee";
             w[1].programs = {u"b.exe"};
         },
         {{Kind::Rename, u"B", u"Bee", {}, false}, {Kind::SetPrograms, u"Bee", {}, {u"b.exe"}}}},
        {"a deleted profile is only deleted, before any rename",
         [](auto& w) {
             w[2].name = std::u16string(1, u'Z'); // not `= u"Z"`: GCC 12 -O3 warns falsely
             w[0].deleted = true;
             w[0].programs.clear();
         },
         {{Kind::Delete, u"A", {}, {}, false}, {Kind::Rename, u"C", u"Z", {}, false}}},
        {"a profile that does not read keeps its file as it is",
         [](auto& w) {
             w[1].readable = false;
             w[1].programs = {u"x.exe"};
         },
         {}},
    };
    for (const auto& c : cases) {
        auto after = before;
        c.edit(after);
        EXPECT_EQ(profileChanges(before, after), c.expected) << c.what;
    }
}

TEST(ProgramChoices, OnePerProgramSortedWithoutThoseListed) {
    const auto choices = programChoices({{u"zeta.exe", u"Z"},
                                         {u"Notepad.exe", u"Untitled"},
                                         {u"NOTEPAD.EXE", u"Other"},
                                         {u"game.exe", u"Game"},
                                         {u"", u"nameless"},
                                         {u"alpha.exe", u""}},
                                        {u"GAME.exe"});
    const std::vector<RunningProgram> expected = {
        {u"alpha.exe", u""}, {u"Notepad.exe", u"Untitled"}, {u"zeta.exe", u"Z"}};
    EXPECT_EQ(choices, expected);
}

class ManageProfilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto folder = scratch_.path() / "Profiles";
        test::writeFile(folder / "Desk.ini", "[General]\r\nDefault = yes\r\n");
        test::writeFile(folder / "Game.ini", "[General]\r\nPrograms = game.exe; other.exe\r\n");
        test::writeFile(folder / "Race.ini", "[General]\r\nPrograms = race.exe\r\n");
        store_.refresh();
    }
    // The centre of a button of the dialog's layout.
    static constexpr std::pair<int, int> kRename{300, 46}, kRemove{300, 173}, kDefault{166, 200},
        kDelete{200, 225}, kUseNow{300, 225}, kAdd{200, 173};

    ManageProfilesDialog dialog(std::vector<RunningProgram> running = {}) {
        return ManageProfilesDialog(store_, u"game", strings_, [running] { return running; });
    }
    void press(ManageProfilesDialog& d, std::pair<int, int> at) {
        EXPECT_TRUE(d.pressBox(at.first, at.second));
    }

    test::ScratchDir scratch_{"qor-profiles-dialog"};
    StdFileSystem files_;
    ProfileStore store_{files_, (scratch_.path() / "Profiles").u16string()};
    StringTable strings_{Language::English};
};

TEST_F(ManageProfilesTest, EditsAWorkingCopyThatOkCarriesOut) {
    auto d = dialog({{u"race.exe", u"Race"}, {u"new.exe", u"New"}});
    ASSERT_EQ(d.selected(), std::optional<std::size_t>(1)) << "the active profile is chosen";

    d.chooseItem(ManageProfilesDialog::kProgramList, 0); // game.exe
    press(d, kRemove);
    press(d, kAdd);
    ASSERT_EQ(d.followingList(), std::optional<int>(ManageProfilesDialog::kRunningList));
    d.chooseItem(ManageProfilesDialog::kRunningList, 0); // new.exe: sorted before race.exe
    press(d, kDefault);
    d.textChanged(ManageProfilesDialog::kNameEdit, u"Shooter");
    press(d, kRename);
    EXPECT_FALSE(d.endRequested());

    const std::vector<ProfileChange> expected = {
        {Kind::Rename, u"Game", u"Shooter", {}, false},
        {Kind::SetDefault, u"Desk", {}, {}, false},
        {Kind::SetPrograms, u"Shooter", {}, {u"other.exe", u"new.exe"}, false},
        {Kind::SetDefault, u"Shooter", {}, {}, true},
    };
    EXPECT_EQ(d.changes(), expected);
}

TEST_F(ManageProfilesTest, RefusedNamesAreSaidAndChangeNothing) {
    const struct {
        std::u16string name;
        const char* what;
    } cases[] = {{u"race", "another profile's name, in other letters"},
                 {u"a/b", "a path separator"},
                 {u"CON", "a reserved device name"},
                 {u"", "empty"},
                 {std::u16string(32, u'n'), "too long"}};
    for (const auto& c : cases) {
        auto d = dialog();
        d.textChanged(ManageProfilesDialog::kNameEdit, c.name);
        press(d, kRename);
        EXPECT_TRUE(d.changes().empty()) << c.what;
        const Scene s = d.scene();
        const bool said = std::any_of(s.drawings.begin(), s.drawings.end(), [](const auto& dr) {
            const auto* t = std::get_if<SceneText>(&dr);
            return t != nullptr && t->colour == ColourRole::Warning && !t->text.empty();
        });
        EXPECT_TRUE(said) << c.what;
    }
}

TEST_F(ManageProfilesTest, DeleteAndUseNow) {
    auto d = dialog();
    press(d, kDelete); // Game
    EXPECT_EQ(d.selected(), std::optional<std::size_t>(0)) << "the first remaining profile";
    press(d, kUseNow);
    EXPECT_TRUE(d.endRequested());
    EXPECT_EQ(d.useNow(), std::optional<std::u16string>(u"Desk"));
    EXPECT_EQ(d.changes(), (std::vector<ProfileChange>{{Kind::Delete, u"Game", {}, {}, false}}));
}

TEST_F(ManageProfilesTest, AProgramTwoProfilesNameShowsWhichOneHasIt) {
    test::writeFile(scratch_.path() / "Profiles" / "Zoo.ini",
                    "[General]\r\nPrograms = race.exe\r\n");
    store_.refresh();
    auto d = ManageProfilesDialog(store_, u"Zoo", strings_, {});
    const Scene scene = d.scene();
    const SceneControl* programs = scene.control(ManageProfilesDialog::kProgramList);
    ASSERT_NE(programs, nullptr);
    EXPECT_EQ(programs->items, std::vector<std::u16string>{u"race.exe *"});
    // The sentence under the list names the profile that gets it.
    const bool named = std::any_of(scene.drawings.begin(), scene.drawings.end(), [](auto& dr) {
        const auto* t = std::get_if<SceneText>(&dr);
        return t != nullptr && t->colour == ColourRole::Warning &&
               t->text.find(u"Race") != std::u16string::npos;
    });
    EXPECT_TRUE(named);
}

TEST_F(ManageProfilesTest, NameDialogRefusesOkUntilTheNameIsFree) {
    ProfileNameDialog d(store_, strings_);
    for (const auto& [name, ok] : std::vector<std::pair<std::u16string, bool>>{
             {u"", false}, {u"GAME", false}, {u"nul.txt", false}, {u"Night", true}}) {
        d.textChanged(ProfileNameDialog::kNameEdit, name);
        EXPECT_EQ(d.okAllowed(), ok) << std::string(name.begin(), name.end());
    }
    EXPECT_EQ(d.result(), u"Night");
}

} // namespace
} // namespace qor
