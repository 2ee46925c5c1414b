// Following the program in front over a scripted clock: settling, the interval between
// switches, suppression, the Default fallback and a profile chosen by hand.
#include "profile/profile_switcher.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

using namespace qor;
using namespace std::chrono_literals;

// game.exe -> Game, notes.exe -> Notes, the rest -> Desktop (the Default) or nothing.
ProfileSwitcher::Matcher matcher(bool withDefault) {
    return [withDefault](std::u16string_view program) -> std::optional<std::u16string> {
        static const std::map<std::u16string, std::u16string> kNamed = {{u"GAME.EXE", u"Game"},
                                                                        {u"NOTES.EXE", u"Notes"}};
        if (const auto it = kNamed.find(std::u16string(program)); it != kNamed.end()) {
            return it->second;
        }
        return withDefault ? std::optional<std::u16string>(u"Desktop") : std::nullopt;
    };
}

// One step of a script: at `ms`, what happens, and the switch tick() decides then ("" none).
struct Step {
    int ms;
    enum What { front, desktop, own, suppress, release, hand, tick } what;
    const char16_t* name;
    const char16_t* switched;
};

struct Script {
    const char* rule;
    bool withDefault;
    std::vector<Step> steps;
};

void run(const Script& s) {
    ProfileSwitcher switcher(matcher(s.withDefault), u"Desktop");
    const auto t0 = SwitchClock::time_point{} + 100s;
    for (const Step& step : s.steps) {
        const auto now = t0 + std::chrono::milliseconds(step.ms);
        switch (step.what) {
        case Step::front:
            switcher.foreground(now, ForegroundProgram::named(step.name));
            break;
        case Step::desktop:
            switcher.foreground(now, ForegroundProgram::nothing());
            break;
        case Step::own:
            switcher.foreground(now, ForegroundProgram::own());
            break;
        case Step::suppress:
            switcher.suppress(kDialogOpen, true);
            break;
        case Step::release:
            switcher.suppress(kDialogOpen, false);
            break;
        case Step::hand:
            switcher.chosenByHand(step.name);
            break;
        case Step::tick:
            break;
        }
        const auto decided = switcher.tick(now);
        EXPECT_EQ(decided.value_or(u""), std::u16string(step.switched))
            << s.rule << ", step at " << step.ms << " ms";
    }
}

TEST(ProfileSwitcher, Rules) {
    using S = Step;
    const Script scripts[] = {
        {"a program counts after 300 ms, compared without regard to case",
         true,
         {{0, S::front, u"Game.EXE", u""},
          {299, S::tick, nullptr, u""},
          {300, S::tick, nullptr, u"Game"},
          {400, S::tick, nullptr, u""}}},
        {"Alt+Tab through windows switches nothing",
         true,
         {{0, S::front, u"game.exe", u""},
          {150, S::front, u"notes.exe", u""},
          {280, S::front, u"game.exe", u""},
          {500, S::tick, nullptr, u""},
          {580, S::tick, nullptr, u"Game"}}},
        {"no program in front brings the Default in",
         true,
         {{0, S::front, u"game.exe", u""},
          {300, S::tick, nullptr, u"Game"},
          {1500, S::desktop, nullptr, u""},
          {1800, S::tick, nullptr, u"Desktop"}}},
        {"without a Default nothing changes",
         false,
         {{0, S::front, u"game.exe", u""},
          {300, S::tick, nullptr, u"Game"},
          {1500, S::front, u"browser.exe", u""},
          {1800, S::tick, nullptr, u""},
          {5000, S::tick, nullptr, u""}}},
        {"the program's own windows do not count",
         true,
         {{0, S::front, u"game.exe", u""},
          {100, S::own, nullptr, u""},
          {300, S::tick, nullptr, u"Game"},
          {1500, S::own, nullptr, u""},
          {3000, S::tick, nullptr, u""}}},
        {"a click on the tray icon passes the taskbar: its menu, chosen by hand, holds for the "
         "game",
         true,
         {{0, S::front, u"game.exe", u""},
          {300, S::tick, nullptr, u"Game"},
          {5000, S::desktop, nullptr, u""},
          {5120, S::own, nullptr, u""},
          {6000, S::tick, nullptr, u""},
          {6100, S::hand, u"Notes", u""},
          {6200, S::front, u"game.exe", u""},
          {8000, S::tick, nullptr, u""}}},
        {"at most one switch a second; the one due follows",
         true,
         {{0, S::front, u"game.exe", u""},
          {300, S::tick, nullptr, u"Game"},
          {400, S::front, u"notes.exe", u""},
          {700, S::tick, nullptr, u""},
          {1299, S::tick, nullptr, u""},
          {1300, S::tick, nullptr, u"Notes"}}},
        {"the profile already active is no switch",
         true,
         {{0, S::front, u"explorer.exe", u""},
          {300, S::tick, nullptr, u""},
          {2000, S::front, u"game.exe", u""},
          {2300, S::tick, nullptr, u"Game"}}},
        {"no switch while suppressed; the pending one when it ends",
         true,
         {{0, S::suppress, nullptr, u""},
          {10, S::front, u"game.exe", u""},
          {2000, S::tick, nullptr, u""},
          {2100, S::release, nullptr, u"Game"}}},
        {"a switch not yet settled waits out its 300 ms after the suppression",
         true,
         {{0, S::suppress, nullptr, u""},
          {10, S::front, u"game.exe", u""},
          {100, S::release, nullptr, u""},
          {310, S::tick, nullptr, u"Game"}}},
        {"a profile chosen by hand holds while its program stays in front",
         true,
         {{0, S::front, u"game.exe", u""},
          {300, S::tick, nullptr, u"Game"},
          {2000, S::hand, u"Notes", u""},
          {2200, S::front, u"notes.exe", u""},
          {2300, S::front, u"game.exe", u""},
          {4000, S::tick, nullptr, u""}}},
        {"... and ends when another program comes to the front",
         true,
         {{0, S::front, u"game.exe", u""},
          {300, S::tick, nullptr, u"Game"},
          {2000, S::hand, u"Notes", u""},
          {3000, S::front, u"browser.exe", u""},
          {3300, S::tick, nullptr, u"Desktop"},
          {5000, S::front, u"game.exe", u""},
          {5300, S::tick, nullptr, u"Game"}}},
        {"a hand choice before anything was in front holds nothing",
         true,
         {{0, S::hand, u"Notes", u""},
          {10, S::front, u"game.exe", u""},
          {310, S::tick, nullptr, u"Game"}}},
    };
    for (const Script& s : scripts) {
        run(s);
    }
}

TEST(ProfileSwitcher, PendingSaysWhenATimerIsNeeded) {
    ProfileSwitcher switcher(matcher(true), u"Desktop");
    const auto t0 = SwitchClock::time_point{} + 100s;
    EXPECT_FALSE(switcher.pending());
    switcher.foreground(t0, ForegroundProgram::named(u"game.exe"));
    EXPECT_TRUE(switcher.pending());
    EXPECT_FALSE(switcher.tick(t0 + 100ms));
    EXPECT_TRUE(switcher.pending());
    EXPECT_EQ(switcher.tick(t0 + 300ms), u"Game");
    EXPECT_FALSE(switcher.pending());
    // The profiles changed: the same program is weighed again, and Game is still right.
    switcher.reconsider();
    EXPECT_TRUE(switcher.pending());
    EXPECT_FALSE(switcher.tick(t0 + 400ms));
    EXPECT_FALSE(switcher.pending());
}

} // namespace
