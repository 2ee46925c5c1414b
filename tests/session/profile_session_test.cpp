// Profiles in the session: using one by hand and automatically, with and without the mouse, a
// profile that does not read, OK into the active profile, Save Current Settings As.
#include "session/session.h"

#include "base/text_utf8.h"
#include "dpi_lighting/dpi.h"
#include "emulator/emulator_faults.h"
#include "profile/profile_files.h"
#include "settings/file_system_std.h"
#include "support/protocol_rig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

using namespace qor;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

std::string fileText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeText(const fs::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
}

// The line "key = ..." of a profile text replaced.
std::string withLine(std::string text, const std::string& key, const std::string& value) {
    const std::size_t at = text.find("\n" + key + " = ");
    const std::size_t end = text.find('\n', at + 1);
    return text.replace(at + 1, end - at - 1, key + " = " + value);
}

std::u16string u16(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

using qor::test::requests;

constexpr std::uint8_t kGameLevel = 7;

struct ProfileRig : qor::test::WireRig, DeviceBackend, SessionHost {
    explicit ProfileRig(bool plugged) {
        for (const char* f : {"config.bin", "str.ini", "record.ini"}) {
            fs::copy_file(fs::path(QOR_SOURCE_DIR) / "resources" / f, dir.path() / f);
        }
        if (!plugged) {
            mouse.unplug();
        }
        session.emplace(
            SessionParts{*this, *this, messages, files, ini, nullptr}, strings,
            SessionFiles{(dir.path() / "config.bin").u16string(), dir.path() / "str.ini"});
        EXPECT_TRUE(session->start());
        if (plugged) {
            session->firstBasicDrawing();
        }
    }
    // Desk (the Default) as the settings are; Game the same with other DPI levels, named by
    // game.exe.
    void twoProfiles() {
        ASSERT_EQ(profiles().saveCurrentAs(u"Desk"), u"");
        ASSERT_EQ(profiles().setDefault(u"Desk", true), u"");
        const std::string desk = fileText(folder() / "Desk.ini");
        // Level 7 of the sensor type the profile was written with.
        const std::size_t type = desk.find("SensorType = ") + 13;
        const auto labels =
            dpiValueListShown(static_cast<std::uint8_t>(std::stoi(desk.substr(type)))).labels;
        std::string game = withLine(desk, "Stage2Level", utf16ToUtf8(labels[kGameLevel]));
        game = withLine(game, "Default", "no");
        writeText(folder() / "Game.ini", game);
        ASSERT_EQ(profiles().refresh(), u"");
        ASSERT_EQ(profiles().setPrograms(u"Game", {u"game.exe"}), u"");
    }
    ProfileSession& profiles() { return session->profiles(); }
    fs::path folder() const { return dir.path() / "Profiles"; }
    SettingsRecord configBin() const {
        SettingsRecord r{};
        const std::string bytes = fileText(dir.path() / "config.bin");
        std::memcpy(&r, bytes.data() + 1, sizeof r);
        return r;
    }

    DeviceEnumerator& enumerator() override { return system; }
    HidCommandPort& commandPort() override { return mouse.commandPort(); }
    HidEventPort& eventPort() override { return mouse.eventPort(); }
    Pacer& pacer() override { return quiet; }
    TraceLineSink traceSink() override { return sink; }
    void forwardDeviceEvent(DeviceEventCode code, std::uint32_t value) override {
        session->deviceEvent(code, value);
    }
    void showBalloon(const Balloon& balloon) override { balloons.push_back(balloon.text); }
    void waitWhile(const std::function<bool()>& running) override {
        while (running()) {
        }
    }

    qor::test::TempDir dir;
    StdFileSystem files;
    IniEngine ini;
    StringTable strings{Language::English};
    std::vector<std::u16string> balloons;
    std::optional<Session> session;
};

std::u16string nameOfProfileFor(ProfileRig& rig, std::u16string_view program) {
    const ProfileEntry* e = rig.profiles().store().profileForProgram(program);
    return e != nullptr ? e->name : u"";
}

TEST(ProfileSession, UsingAProfileSendsOnlyWhatChanged) {
    ProfileRig rig(true);
    rig.twoProfiles();
    EXPECT_EQ(rig.profiles().active(), u"Desk");
    EXPECT_EQ(readActiveProfile(rig.ini, rig.dir.path() / "str.ini"), u"Desk");
    // The connection's first apply is the whole sequence, reads included.
    rig.trace.clear();
    ASSERT_EQ(rig.profiles().use(u"desk", ProfileCause::hand).outcome,
              ProfileUseResult::Outcome::applied);
    const auto full = requests(rig.trace);
    EXPECT_GT(full.size(), 20u);

    const struct {
        const char16_t* profile;
        std::vector<std::string> sent;
        std::uint8_t stage2;
    } steps[] = {
        {u"Game", {"11 04"}, kGameLevel},
        {u"Game", {}, kGameLevel},
        {u"Desk", {"11 04"}, rig.configBin().dpiLevel[1]},
    };
    for (const auto& s : steps) {
        rig.trace.clear();
        const ProfileUseResult used = rig.profiles().use(s.profile, ProfileCause::hand);
        EXPECT_EQ(used.outcome, ProfileUseResult::Outcome::applied);
        EXPECT_EQ(requests(rig.trace), s.sent);
        EXPECT_EQ(rig.balloons.back(),
                  u"Profile \u201c" + std::u16string(s.profile) + u"\u201d is in use.");
        EXPECT_EQ(rig.configBin().dpiLevel[1], s.stage2);
        EXPECT_EQ(rig.session->settings().appliedRecord.dpiLevel[1], s.stage2);
        EXPECT_EQ(readActiveProfile(rig.ini, rig.dir.path() / "str.ini"), s.profile);
    }
    // OK and Apply keep the full sequence.
    rig.trace.clear();
    rig.session->confirm();
    EXPECT_EQ(requests(rig.trace), full);
}

TEST(ProfileSession, MacrosAndKeyRowsBecomeCurrentAndOkWritesTheActiveProfile) {
    ProfileRig rig(true);
    rig.twoProfiles();
    std::string game = fileText(rig.folder() / "Game.ini");
    game = withLine(game, "A1", "Shoot");
    game += "\n[Macro]\nName = Burst\nLoop = 2\nLine = A   Dn\nLine = A   Up\n";
    writeText(rig.folder() / "Game.ini", game);
    rig.profiles().refresh();
    ASSERT_EQ(rig.profiles().use(u"Game", ProfileCause::hand).outcome,
              ProfileUseResult::Outcome::applied);
    EXPECT_EQ(rig.ini.getString(rig.dir.path() / "str.ini", u"Setting-EN", u"Item1"), u"Shoot");
    EXPECT_EQ(rig.session->keyRows().setA[0], u"Shoot");
    EXPECT_EQ(rig.ini.getString(rig.dir.path() / "record.ini", u"Burst", u"Item1"), u"A   Up");

    // OK while Game is active: Game's file takes the settings; its programs stay.
    rig.session->settings().working.dpiLevel[0] = 9;
    rig.session->confirm();
    const auto read = rig.profiles().store().read(u"Game", {}, {});
    ASSERT_TRUE(read.profile);
    EXPECT_EQ(read.profile->record.dpiLevel[0], 9);
    EXPECT_EQ(read.profile->programs, std::vector<std::u16string>{u"game.exe"});
    EXPECT_EQ(read.profile->macros.size(),
              rig.profiles().store().read(u"Desk", {}, {}).profile->macros.size() + 1);
}

TEST(ProfileSession, WhileTheMouseIsAwayTheFilesChangeAndItsArrivalWritesThem) {
    ProfileRig rig(false);
    rig.twoProfiles();
    const ProfileUseResult used = rig.profiles().use(u"Game", ProfileCause::hand);
    EXPECT_EQ(used.outcome, ProfileUseResult::Outcome::mouseAway);
    EXPECT_EQ(rig.balloons.back(),
              u"Profile \u201cGame\u201d is in use. The mouse gets it when it is connected.");
    EXPECT_EQ(rig.configBin().dpiLevel[1], kGameLevel);
    EXPECT_TRUE(rig.session->applyPending());
    rig.mouse.plugIn();
    rig.session->deviceChanges().onDeviceChange(kDeviceArrival, kDeviceTypeInterface,
                                                u"VID_04D9&PID_A09F");
    EXPECT_FALSE(rig.session->applyPending());
    EXPECT_EQ(rig.mouse.state().dpiStageCodes, rig.session->mirror().dpiStageCodes);
    EXPECT_EQ(rig.session->mirror().dpiStageCodes,
              dpiStageCodes(rig.configBin(), rig.session->mirror().activeSensorType));
}

TEST(ProfileSession, AProfileThatDoesNotReadChangesNothing) {
    ProfileRig rig(true);
    rig.twoProfiles();
    std::string game = withLine(fileText(rig.folder() / "Game.ini"), "Stage1", "maybe");
    writeText(rig.folder() / "Game.ini", game);
    rig.profiles().refresh();
    const std::string config = fileText(rig.dir.path() / "config.bin");
    const std::size_t line = static_cast<std::size_t>(
        std::count(game.begin(), game.begin() + game.find("Stage1 = maybe"), '\n') + 1);
    const std::u16string said = u"Profile \u201cGame\u201d cannot be used: line " +
                                u16(std::to_string(line)) +
                                u": Stage1: 'maybe' is not one of its names. Nothing was changed.";
    // By hand: a message box.
    rig.trace.clear();
    EXPECT_EQ(rig.profiles().use(u"Game", ProfileCause::hand).outcome,
              ProfileUseResult::Outcome::refused);
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0], u"Qor: " + said);
    EXPECT_EQ(rig.profiles().active(), u"Desk");
    EXPECT_EQ(fileText(rig.dir.path() / "config.bin"), config);
    EXPECT_TRUE(requests(rig.trace).empty());
    // A file that does not read names no program: its game brings in the Default.
    EXPECT_EQ(nameOfProfileFor(rig, u"game.exe"), u"Desk");
}

TEST(ProfileSession, AnAutomaticSwitchThatDidNotReachTheMouseSaysSoInABalloon) {
    ProfileRig rig(true);
    rig.twoProfiles();
    rig.profiles().use(u"Desk", ProfileCause::hand);
    rig.mouse.setInstantTimeouts(true);
    EmulatorFaults stall;
    stall.stallAfter = 0;
    rig.mouse.setFaults(stall);
    const auto t0 = SwitchClock::time_point{} + 10s;
    rig.profiles().foreground(t0, ForegroundProgram::named(u"game.exe"));
    rig.profiles().tick(t0 + 300ms);
    EXPECT_EQ(rig.balloons.back(),
              u"Profile \u201cGame\u201d: Not every setting reached the mouse. Not written: DPI.\n"
              u"Your settings are saved and will be written again when the mouse answers.");
    EXPECT_TRUE(rig.messages.shown.empty());
    EXPECT_TRUE(rig.session->applyPending());
    EXPECT_EQ(rig.profiles().active(), u"Game");
    // Once is enough: the same program in front does not try again.
    const std::size_t balloons = rig.balloons.size();
    rig.profiles().tick(t0 + 5s);
    EXPECT_EQ(rig.balloons.size(), balloons);
}

TEST(ProfileSession, AProfileEditedOutsideIsUsedAsItIsNow) {
    ProfileRig rig(true);
    rig.twoProfiles();
    rig.profiles().use(u"Desk", ProfileCause::hand);
    // Game.ini made the same as Desk.ini behind the program's back: nothing changes on the mouse.
    const std::string desk = fileText(rig.folder() / "Desk.ini");
    writeText(rig.folder() / "Game.ini", withLine(desk, "Default", "no"));
    rig.trace.clear();
    EXPECT_EQ(rig.profiles().use(u"Game", ProfileCause::hand).outcome,
              ProfileUseResult::Outcome::applied);
    EXPECT_TRUE(requests(rig.trace).empty());
    EXPECT_EQ(rig.configBin().dpiLevel[1], rig.session->settings().appliedRecord.dpiLevel[1]);
    EXPECT_NE(rig.configBin().dpiLevel[1], kGameLevel);
}

TEST(ProfileSession, AConfigBinThatIsNotSavedIsNoSwitchThatWorked) {
    for (const ProfileCause cause : {ProfileCause::hand, ProfileCause::automatic}) {
        ProfileRig rig(true);
        rig.twoProfiles();
        rig.profiles().use(u"Desk", ProfileCause::hand);
        const std::size_t shown = rig.messages.shown.size();
        std::filesystem::remove(rig.dir.path() / "config.bin"); // the program never makes one
        const ProfileUseResult used = rig.profiles().use(u"Game", cause);
        EXPECT_EQ(used.outcome, ProfileUseResult::Outcome::incomplete);
        // By hand the box says it; with a game in front, the balloon does.
        const bool boxed = rig.messages.shown.size() > shown;
        EXPECT_EQ(boxed, cause == ProfileCause::hand);
        EXPECT_EQ(rig.balloons.back().find(u"\n") != std::u16string::npos,
                  cause == ProfileCause::automatic);
    }
}

TEST(ProfileSession, FollowsTheProgramInFrontExceptWhileSuppressed) {
    ProfileRig rig(true);
    rig.twoProfiles();
    const auto t0 = SwitchClock::time_point{} + 10s;
    rig.profiles().suppress(kWindowShown, true, t0);
    rig.profiles().foreground(t0, ForegroundProgram::named(u"game.exe"));
    rig.profiles().tick(t0 + 2s);
    EXPECT_EQ(rig.profiles().active(), u"Desk");
    rig.profiles().suppress(kWindowShown, false, t0 + 3s);
    EXPECT_EQ(rig.profiles().active(), u"Game");
    EXPECT_EQ(rig.configBin().dpiLevel[1], kGameLevel);
    rig.profiles().foreground(t0 + 5s, ForegroundProgram::nothing());
    rig.profiles().tick(t0 + 5300ms);
    EXPECT_EQ(rig.profiles().active(), u"Desk");
}

TEST(ProfileSession, RenameAndDeleteFollowTheActiveProfile) {
    ProfileRig rig(true);
    rig.twoProfiles();
    const fs::path strIni = rig.dir.path() / "str.ini";
    EXPECT_EQ(rig.profiles().rename(u"Desk", u"Game"),
              u"A profile named \u201cGame\u201d exists already.");
    EXPECT_EQ(rig.profiles().rename(u"Desk", u"Office"), u"");
    EXPECT_EQ(readActiveProfile(rig.ini, strIni), u"Office");
    EXPECT_EQ(rig.profiles().saveCurrentAs(u"bad/name"),
              u"A profile name cannot contain \\ / : * ? \" < > | or control characters.");
    EXPECT_EQ(rig.profiles().remove(u"office"), u"");
    EXPECT_EQ(readActiveProfile(rig.ini, strIni), u"");
    EXPECT_FALSE(fs::exists(rig.folder() / "Office.ini"));
    const auto items = rig.profiles().items();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].name, u"Game");
    EXPECT_FALSE(items[0].active);
    // The Manage Profiles dialog's changes, in order; the first refused stops the rest.
    using Kind = ProfileChange::Kind;
    EXPECT_EQ(rig.profiles().carryOut({{Kind::SetPrograms, u"game", {}, {u"Tool.exe"}, false},
                                       {Kind::Rename, u"Game", u"Play", {}, false}}),
              u"");
    ASSERT_NE(rig.profiles().store().find(u"Play"), nullptr);
    EXPECT_EQ(rig.profiles().store().find(u"Play")->programs,
              std::vector<std::u16string>{u"Tool.exe"});
    EXPECT_EQ(
        rig.profiles().carryOut({{Kind::SetPrograms, u"Play", {}, {u"C:\\x.exe"}, false},
                                 {Kind::Delete, u"Play", {}, {}, false}}),
        u"Not a program file name: 'C:\\x.exe' is not a file name: no folder, only the name.");
    EXPECT_NE(rig.profiles().store().find(u"Play"), nullptr) << "the delete after it did not run";
}

} // namespace
