#include "window/tray_menu.h"

#include <gtest/gtest.h>

namespace qor {
namespace {

using Kind = TrayMenuEntry::Kind;

TEST(TrayMenu, ProfilesSubmenuSitsBetweenTheVersionAndExit) {
    const StringTable strings(Language::English);
    const auto menu =
        trayMenu({u"1.1.0", true, {{u"Desk", false}, {u"Game (does not read)", true}}}, strings);
    ASSERT_EQ(menu.size(), 6u);
    EXPECT_EQ(menu[0].text, u"Qor 1.1.0");
    EXPECT_FALSE(menu[0].enabled);
    EXPECT_EQ(menu[1].kind, Kind::Separator);
    ASSERT_EQ(menu[2].kind, Kind::Submenu);
    EXPECT_EQ(menu[2].text, u"Profiles");
    EXPECT_TRUE(menu[3].checked) << "Start with Windows";
    EXPECT_EQ(menu[5].command, kExitCommand);

    const auto& sub = menu[2].children;
    ASSERT_EQ(sub.size(), 6u);
    EXPECT_EQ(sub[0].text, u"Desk");
    EXPECT_FALSE(sub[0].checked);
    EXPECT_TRUE(sub[1].checked) << "the active profile";
    EXPECT_EQ(sub[2].kind, Kind::Separator);
    EXPECT_EQ(sub[3].command, kSaveProfileAsCommand);
    EXPECT_EQ(sub[5].command, kOpenProfilesFolderCommand);

    // Without profiles there is nothing to separate.
    const auto empty = trayMenu({u"1.1.0", false, {}}, strings);
    EXPECT_EQ(empty[2].children.size(), 3u);
    EXPECT_FALSE(empty[3].checked);
}

TEST(TrayMenu, CommandsMapBackToWhatWasListed) {
    using C = TrayCommand::Kind;
    const struct {
        unsigned id;
        std::size_t profiles;
        TrayCommand expected;
    } cases[] = {
        {kExitCommand, 0, {C::Exit}},
        {kStartWithWindowsCommand, 0, {C::StartWithWindows}},
        {kManageProfilesCommand, 3, {C::ManageProfiles}},
        {kFirstProfileCommand, 3, {C::UseProfile, 0}},
        {kFirstProfileCommand + 2, 3, {C::UseProfile, 2}},
        {kFirstProfileCommand + 3, 3, {}}, // a menu of an older list
        {kFirstProfileCommand - 1, 3, {}},
        {kFirstProfileCommand + kProfileCommandCount, 10000, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(trayCommand(c.id, c.profiles), c.expected) << c.id;
    }
}

} // namespace
} // namespace qor
