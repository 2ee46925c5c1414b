// Profile names, the [General] and [KeyRows] parts of the format, and the Profiles folder: the
// listing with bad files, the program index, clashes, and the writes with their failures.
#include "profile/profile_messages.h"
#include "profile/profile_name.h"
#include "profile/profile_store.h"

#include "support/config_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace qor;
using qor::testing::MemoryFileSystem;

TEST(ProfileName, WhatWindowsTakesAsAFileName) {
    using P = ProfileNameProblem;
    const struct {
        std::u16string_view name;
        P problem;
    } cases[] = {
        {u"Desktop", P::none},
        {u"CS 2 – ranked", P::none},
        {u"射击游戏", P::none},
        {u"Console", P::none},
        {u"COM10", P::none},
        {u"LPT0", P::none},
        {u".hidden", P::none},
        {std::u16string_view(u"1234567890123456789012345678901"), P::none},
        {std::u16string_view(u"12345678901234567890123456789012"), P::tooLong},
        {u"", P::empty},
        {u"a/b", P::badCharacter},
        {u"a\\b", P::badCharacter},
        {u"C:", P::badCharacter},
        {u"why?", P::badCharacter},
        {u"tab\there", P::badCharacter},
        {u"a|b", P::badCharacter},
        {u"CON", P::reservedName},
        {u"con", P::reservedName},
        {u"Nul.txt", P::reservedName},
        {u"aux .ini", P::reservedName},
        {u"com1", P::reservedName},
        {u"LPT9.tar.gz", P::reservedName},
        {u"Game.", P::trailingDotOrSpace},
        {u"Game ", P::trailingDotOrSpace},
        {u"..", P::trailingDotOrSpace},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(checkProfileName(c.name), c.problem) << std::string(c.name.begin(), c.name.end());
    }
    EXPECT_EQ(profileNameOfFile(u"Game.INI"), u"Game");
    EXPECT_EQ(profileNameOfFile(u"Game.ini.qor-tmp"), u"");
    EXPECT_EQ(profileNameOfFile(u"CON.ini"), u"");
    EXPECT_EQ(profileNameOfFile(u".ini"), u"");
    EXPECT_EQ(profilesFolderBeside(u"C:\\Qor\\config.bin"), u"C:\\Qor\\Profiles");
    EXPECT_EQ(profilesFolderBeside(u"/home/u/qor/config.bin"), u"/home/u/qor/Profiles");
}

std::string profileText(const std::string& general, const std::string& more = {}) {
    return "[General]\n" + general + "\n" + more;
}

TEST(ProfileFormat, ProgramsDefaultAndKeyRowsComeBack) {
    Profile p;
    p.programs = {u"game.exe", u"Notepad.EXE", u"射击.exe"};
    p.isDefault = true;
    KeyRowTexts rows;
    rows.setA[0] = u"Fire";
    rows.setB[11] = u" \"quoted\" ";
    p.keyRows = rows;
    const std::string text = formatProfile(p, 1);
    EXPECT_NE(text.find("Programs = game.exe; Notepad.EXE; 射击.exe\n"), std::string::npos);
    EXPECT_NE(text.find("Default = yes\n"), std::string::npos);
    for (const std::string& withBom : {text, "\xEF\xBB\xBF" + text}) {
        const auto read = parseProfile(withBom, SettingsRecord{});
        ASSERT_TRUE(read.profile) << read.error;
        EXPECT_EQ(read.profile->programs, p.programs);
        EXPECT_TRUE(read.profile->isDefault);
        EXPECT_EQ(read.profile->keyRows, rows);
    }
    // A profile without them names no program and keeps the key rows as they are.
    const auto plain = parseProfile(formatProfile(Profile{}, 1), SettingsRecord{});
    ASSERT_TRUE(plain.profile);
    EXPECT_TRUE(plain.profile->programs.empty());
    EXPECT_FALSE(plain.profile->isDefault);
    EXPECT_FALSE(plain.profile->keyRows);
    // Rows the section leaves out keep theirs.
    const auto some = parseProfile("[KeyRows]\nA2 = Two\n", SettingsRecord{}, rows);
    ASSERT_TRUE(some.profile);
    EXPECT_EQ(some.profile->keyRows->setA[0], u"Fire");
    EXPECT_EQ(some.profile->keyRows->setA[1], u"Two");
}

TEST(ProfileFormat, BadGeneralAndKeyRowsNameTheLine) {
    const struct {
        std::string text;
        std::size_t line;
        std::string says;
    } cases[] = {
        {profileText("Programs = C:\\Games\\game.exe"), 2, "no folder"},
        {profileText("Programs = bin/game.exe"), 2, "no folder"},
        {profileText("Default = maybe"), 2, "yes or no"},
        {profileText("Programs = a.exe", "Programs = b.exe\n"), 3, "given twice"},
        {profileText("", "[KeyRows]\nA13 = x\n"), 4, "unknown name 'A13'"},
        {profileText("", "[KeyRows]\nA1 = \"open\n"), 4, "not closed"},
        {profileText("", "[KeyRows]\n[KeyRows]\n"), 4, "given twice"},
    };
    for (const auto& c : cases) {
        const auto read = parseProfile(c.text, SettingsRecord{});
        EXPECT_FALSE(read.profile) << c.text;
        EXPECT_EQ(read.line, c.line) << c.text;
        EXPECT_NE(read.error.find(c.says), std::string::npos) << read.error;
    }
    // Blanks and empty items of a Programs list are no names.
    const auto read = parseProfile(profileText("Programs =  a.exe ;; b.exe ; "), SettingsRecord{});
    ASSERT_TRUE(read.profile);
    EXPECT_EQ(read.profile->programs, (std::vector<std::u16string>{u"a.exe", u"b.exe"}));
}

TEST(ProfileFormat, GeneralKeysAreReplacedWithTheRestKept) {
    const struct {
        std::string text;
        std::vector<std::u16string> programs;
        bool isDefault;
        std::string expected;
    } cases[] = {
        {"; mine\n[General]\nActiveKeySet = B\nPrograms = old.exe\nDefault = yes\n[DPI]\n",
         {u"a.exe", u"b.exe"},
         false,
         "; mine\n[General]\nPrograms = a.exe; b.exe\nActiveKeySet = B\n[DPI]\n"},
        {"[General]\r\nActiveKeySet = A\r\n",
         {},
         true,
         "[General]\r\nDefault = yes\r\nActiveKeySet = A\r\n"},
        {"\xEF\xBB\xBF[DPI]\nStage1 = on\n",
         {u"x.exe"},
         false,
         "\xEF\xBB\xBF[General]\nPrograms = x.exe\n\n[DPI]\nStage1 = on\n"},
        // A Programs key in another section is not [General]'s.
        {"[Lighting]\nPrograms = z\n[General]\nDefault = yes",
         {},
         false,
         "[Lighting]\nPrograms = z\n[General]\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(withGeneralKeys(c.text, c.programs, c.isDefault), c.expected) << c.text;
    }
}

// The Profiles folder of a MemoryFileSystem, with a count of the files opened for reading.
struct Folder {
    static constexpr std::u16string_view kFolder = u"/q/Profiles";
    struct CountingFiles : FileSystem {
        MemoryFileSystem memory;
        int opened = 0;
        bool exists(std::u16string_view p) override { return memory.exists(p); }
        std::unique_ptr<ReadableFile> openForReading(std::u16string_view p) override {
            ++opened;
            return memory.openForReading(p);
        }
        SystemError checkWritable(std::u16string_view p) override {
            return memory.checkWritable(p);
        }
        WriteResult writeWhole(std::u16string_view p, std::span<const std::uint8_t> b) override {
            return memory.writeWhole(p, b);
        }
        SystemError writeInPlace(std::u16string_view p, std::span<const std::uint8_t> b,
                                 bool c) override {
            return memory.writeInPlace(p, b, c);
        }
        SystemError replace(std::u16string_view a, std::u16string_view b) override {
            return memory.replace(a, b);
        }
        void remove(std::u16string_view p) override { memory.remove(p); }
        std::optional<std::vector<std::u16string>> listFiles(std::u16string_view f) override {
            return memory.listFiles(f);
        }
        SystemError createFolder(std::u16string_view f) override { return memory.createFolder(f); }
        void pause(unsigned) override {}
    };

    void put(std::u16string_view name, const std::string& text) {
        files.memory.files[std::u16string(kFolder) + u"/" + std::u16string(name)] = text;
    }
    std::string text(std::u16string_view name) {
        return files.memory.files[std::u16string(kFolder) + u"/" + std::u16string(name)];
    }
    CountingFiles files;
    ProfileStore store{files, std::u16string(kFolder)};
};

std::u16string nameOf(const ProfileEntry* e) {
    return e != nullptr ? e->name : u"(none)";
}

TEST(ProfileStore, ListsProfilesWithBadFilesMarkedAndIndexesPrograms) {
    Folder f;
    f.put(u"b-game.ini", profileText("Programs = Game.exe; shared.exe"));
    f.put(u"A-Tools.ini", profileText("Programs = shared.exe; SHARED.EXE"));
    f.put(u"Desk.INI", profileText("Default = yes"));
    f.put(u"Zed.ini", profileText("Default = yes"));
    f.put(u"Broken.ini", profileText("Programs = x.exe", "[DPI]\nStage9 = on\n"));
    f.put(u"notes.txt", "not a profile");
    f.put(u"CON.ini", profileText("Programs = con.exe"));
    ASSERT_TRUE(f.store.refresh().ok());

    std::vector<std::u16string> names;
    for (const auto& e : f.store.profiles()) {
        names.push_back(e.name);
    }
    EXPECT_EQ(names,
              (std::vector<std::u16string>{u"A-Tools", u"b-game", u"Broken", u"Desk", u"Zed"}));
    const ProfileEntry* broken = f.store.find(u"broken");
    ASSERT_NE(broken, nullptr);
    EXPECT_FALSE(broken->readable());
    EXPECT_EQ(broken->problemLine, 4u);
    EXPECT_EQ(profileLabel(*broken, StringTable(Language::English)), u"Broken (cannot be read)");
    EXPECT_FALSE(f.store.read(u"Broken", {}, {}).profile);

    const struct {
        std::u16string_view program;
        std::u16string_view profile;
    } lookups[] = {
        {u"game.exe", u"b-game"},    {u"GAME.EXE", u"b-game"},
        {u"shared.exe", u"A-Tools"}, // the first by name
        {u"x.exe", u"Desk"},         // a bad file names nothing
        {u"other.exe", u"Desk"},     {u"", u"Desk"},
    };
    for (const auto& l : lookups) {
        EXPECT_EQ(nameOf(f.store.profileForProgram(l.program)), l.profile)
            << std::string(l.program.begin(), l.program.end());
    }
    ASSERT_EQ(f.store.clashes().size(), 1u);
    EXPECT_EQ(f.store.clashes()[0].program, u"shared.exe");
    EXPECT_EQ(f.store.clashes()[0].used, u"A-Tools");
    EXPECT_EQ(f.store.clashes()[0].ignored, u"b-game");
    EXPECT_EQ(f.store.ignoredDefaults(), std::vector<std::u16string>{u"Zed"});
    EXPECT_EQ(clashTexts(f.store, StringTable(Language::English)).front(),
              u"shared.exe is named by A-Tools and b-game; A-Tools is used.");
}

TEST(ProfileStore, ManyProfilesAreLookedUpWithoutReadingFiles) {
    Folder f;
    for (int i = 0; i < 500; ++i) {
        // Appended piece by piece: GCC 12 at -O3 warns falsely on `"p" + std::to_string(i)`.
        std::string programs;
        for (int j = 0; j < 40; ++j) {
            programs += 'p';
            programs += std::to_string(i);
            programs += '-';
            programs += std::to_string(j);
            programs += ".exe; ";
        }
        std::string name(1, 'P');
        name += std::to_string(i);
        name += ".ini";
        f.put(std::u16string(name.begin(), name.end()), profileText("Programs = " + programs));
    }
    f.store.refresh();
    EXPECT_EQ(f.files.opened, 500);
    EXPECT_EQ(nameOf(f.store.profileForProgram(u"P499-39.EXE")), u"P499");
    for (int n = 0; n < 10000; ++n) {
        f.store.profileForProgram(u"p250-20.exe");
    }
    f.store.read(u"P7", {}, {});
    EXPECT_EQ(f.files.opened, 500);
}

TEST(ProfileStore, WritesAndTheirFailures) {
    Folder f;
    f.store.refresh();
    Profile p;
    p.record.dpiLevel = {1, 2, 3, 4};
    ASSERT_TRUE(f.store.save(u"Game", p, 1).ok());
    EXPECT_TRUE(f.files.memory.folders.contains(u"/q/Profiles"));
    ASSERT_TRUE(f.store.setPrograms(u"game", {u"game.exe"}).ok());
    EXPECT_EQ(nameOf(f.store.namingProgram(u"GAME.exe")), u"Game");
    // New settings keep the programs, and the file its name's spelling.
    p.record.dpiLevel = {4, 3, 2, 1};
    ASSERT_TRUE(f.store.save(u"GAME", p, 1).ok());
    EXPECT_NE(f.text(u"Game.ini").find("Programs = game.exe"), std::string::npos);
    EXPECT_EQ(f.store.read(u"Game", {}, {}).profile->record.dpiLevel, p.record.dpiLevel);

    ASSERT_TRUE(f.store.save(u"Desk", Profile{}, 1).ok());
    ASSERT_TRUE(f.store.setDefault(u"Desk", true).ok());
    ASSERT_TRUE(f.store.setDefault(u"Game", true).ok());
    EXPECT_EQ(nameOf(f.store.defaultProfile()), u"Game");
    EXPECT_EQ(f.text(u"Desk.ini").find("Default"), std::string::npos);

    using E = StoreResult::Error;
    EXPECT_EQ(f.store.save(u"LPT1", p, 1).nameProblem, ProfileNameProblem::reservedName);
    EXPECT_EQ(f.store.rename(u"Game", u"desk").error, E::nameTaken);
    EXPECT_EQ(f.store.rename(u"Nope", u"Other").error, E::notFound);
    EXPECT_EQ(f.store.setPrograms(u"Game", {u"C:\\x.exe"}).error, E::badName);
    ASSERT_TRUE(f.store.rename(u"Game", u"GAME").ok()); // the case of its letters alone
    ASSERT_TRUE(f.store.rename(u"GAME", u"Shooter").ok());
    EXPECT_EQ(nameOf(f.store.namingProgram(u"game.exe")), u"Shooter");
    EXPECT_TRUE(f.files.memory.files.contains(u"/q/Profiles/Shooter.ini"));
    EXPECT_FALSE(f.files.memory.files.contains(u"/q/Profiles/GAME.ini"));
    ASSERT_TRUE(f.store.remove(u"shooter").ok());
    EXPECT_EQ(f.store.namingProgram(u"game.exe"), nullptr);
    EXPECT_EQ(f.store.defaultProfile(), nullptr);

    // A folder that cannot be written says so, with the system's code.
    f.files.memory.folderError = 5;
    const StoreResult r = f.store.save(u"New", p, 1);
    EXPECT_EQ(r.error, E::folderError);
    EXPECT_EQ(storeProblemText(r, u"New", f.store.folder(), StringTable(Language::English)),
              u"The folder /q/Profiles cannot be written (error 5). Nothing was saved.");
    f.files.memory.folderError = 0;
    f.files.memory.createError = 13;
    EXPECT_EQ(f.store.save(u"New", p, 1).error, E::writeError);
    EXPECT_EQ(f.store.find(u"New"), nullptr);
    f.files.memory.unlistable.insert(u"/q/Profiles");
    EXPECT_EQ(f.store.refresh().error, E::folderUnreadable);
    EXPECT_TRUE(f.store.profiles().empty());
}

} // namespace
