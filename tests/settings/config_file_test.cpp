#include "settings/config_file.h"

#include "settings/file_system_std.h"
#include "support/config_test_support.h"
#include "support/scratch_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

using qor::LoadResult;
using qor::SaveResult;
using qor::testing::MemoryFileSystem;
using qor::testing::Message;
using qor::testing::RecordingSink;

const std::u16string kConfig = u"C:\\Games\\Qor\\config.bin";

std::string pattern(std::size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 31 + seed * 17 + (i >> 8)) & 0xFF);
    }
    return bytes;
}

std::string recordAsString(const qor::SettingsRecord& record) {
    const auto bytes = qor::recordBytes(record);
    return std::string(bytes.begin(), bytes.end());
}

qor::SettingsState filledState(unsigned seed) {
    qor::SettingsState state;
    const std::string bytes = pattern(qor::kSettingsRecordSize, seed);
    std::copy(bytes.begin(), bytes.end(), qor::recordBytes(state.working).begin());
    state.firstRunFlag = 0x5A;
    return state;
}

TEST(ConfigLoad, OnlyAFileOfExactly2022BytesIsRead) {
    struct Case {
        std::size_t size;
        LoadResult::Outcome outcome;
    };
    const Case cases[] = {
        {0, LoadResult::Outcome::WrongSize},    {1, LoadResult::Outcome::WrongSize},
        {2021, LoadResult::Outcome::WrongSize}, {2022, LoadResult::Outcome::Read},
        {2023, LoadResult::Outcome::WrongSize}, {4044, LoadResult::Outcome::WrongSize}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        MemoryFileSystem files;
        std::string content = pattern(c.size, 3);
        if (!content.empty()) {
            content[0] = 7;
        }
        files.files[kConfig] = content;
        RecordingSink sink;
        qor::SettingsState state;
        const LoadResult result = qor::loadConfig(files, sink, kConfig, state);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_TRUE(sink.shown.empty());
        if (c.outcome == LoadResult::Outcome::Read) {
            EXPECT_EQ(state.firstRunFlag, 7);
            EXPECT_EQ(recordAsString(state.working), content.substr(1));
            EXPECT_EQ(result.recordBytesRead, qor::kSettingsRecordSize);
            EXPECT_EQ(result.trace, u"Prpgram First Run Flag:7\nRead Size is: 2021");
        } else {
            EXPECT_EQ(state.firstRunFlag, 0);
            EXPECT_EQ(recordAsString(state.working), std::string(qor::kSettingsRecordSize, '\0'));
        }
    }
}

TEST(ConfigLoad, MissingFileIsReportedWithTheApplicationTitle) {
    MemoryFileSystem files;
    RecordingSink sink;
    qor::SettingsState state;
    EXPECT_EQ(qor::loadConfig(files, sink, kConfig, state).outcome, LoadResult::Outcome::Missing);
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0], (Message{u"Config file is not exist.", u"Qor"}));
    EXPECT_EQ(state.firstRunFlag, 0);
}

TEST(ConfigLoad, UnopenableFileLeavesTheRecordAsItWasWithoutAMessage) {
    MemoryFileSystem files;
    files.files[kConfig] = pattern(2022, 1);
    files.unreadable.insert(kConfig);
    RecordingSink sink;
    qor::SettingsState state = filledState(9);
    const std::string before = recordAsString(state.working);
    EXPECT_EQ(qor::loadConfig(files, sink, kConfig, state).outcome,
              LoadResult::Outcome::Unopenable);
    EXPECT_TRUE(sink.shown.empty());
    EXPECT_EQ(recordAsString(state.working), before);
    EXPECT_EQ(state.firstRunFlag, 0x5A);
}

TEST(ConfigLoad, ShortReadKeepsTheBytesItGotAndTheRestOfTheRecord) {
    struct Case {
        std::size_t delivered; // bytes of the file, flag included
        bool flagRead;
        std::size_t recordBytes;
    };
    const Case cases[] = {
        {0, false, 0}, {1, true, 0}, {2, true, 1}, {500, true, 499}, {2021, true, 2020}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.delivered);
        MemoryFileSystem files;
        const std::string content = pattern(2022, 4);
        files.files[kConfig] = content;
        files.readLimit = c.delivered;
        RecordingSink sink;
        qor::SettingsState state = filledState(8);
        const std::string before = recordAsString(state.working);
        const LoadResult result = qor::loadConfig(files, sink, kConfig, state);
        EXPECT_EQ(result.outcome, LoadResult::Outcome::Read);
        EXPECT_EQ(result.recordBytesRead, c.recordBytes);
        EXPECT_EQ(state.firstRunFlag,
                  c.flagRead ? static_cast<std::uint8_t>(content[0]) : std::uint8_t{0x5A});
        const std::string after = recordAsString(state.working);
        EXPECT_EQ(after.substr(0, c.recordBytes), content.substr(1, c.recordBytes));
        EXPECT_EQ(after.substr(c.recordBytes), before.substr(c.recordBytes));
    }
}

TEST(ConfigLoad, SizeThatCannotBeDeterminedReadsNothing) {
    MemoryFileSystem files;
    files.files[kConfig] = pattern(2022, 4);
    files.reportedSize = 1ull << 40;
    RecordingSink sink;
    qor::SettingsState state;
    EXPECT_EQ(qor::loadConfig(files, sink, kConfig, state).outcome, LoadResult::Outcome::WrongSize);
    EXPECT_EQ(state.firstRunFlag, 0);
}

TEST(ConfigSave, ReplacesAFileOfAnySizeWithFlagOneAndTheRecord) {
    for (const std::size_t oldSize : {0u, 1u, 2021u, 2022u, 2023u, 100000u}) {
        SCOPED_TRACE(oldSize);
        MemoryFileSystem files;
        files.files[kConfig] = pattern(oldSize, 2);
        RecordingSink sink;
        const qor::SettingsState state = filledState(5);
        const SaveResult result = qor::saveConfig(files, sink, kConfig, state.working);
        EXPECT_EQ(result.outcome, SaveResult::Outcome::Saved);
        EXPECT_TRUE(sink.shown.empty());
        const std::string& saved = files.files[kConfig];
        ASSERT_EQ(saved.size(), 2022u);
        EXPECT_EQ(saved[0], 1);
        EXPECT_EQ(saved.substr(1), recordAsString(state.working));
        EXPECT_EQ(files.files.size(), 1u); // no temporary file left behind
        EXPECT_EQ(result.trace, u"Data num:1 BYTE -2021 BYTE\n Struct size:2021 BYTE");
    }
}

TEST(ConfigSave, NeverCreatesAMissingFile) {
    MemoryFileSystem files;
    RecordingSink sink;
    const qor::SettingsState state = filledState(5);
    EXPECT_EQ(qor::saveConfig(files, sink, kConfig, state.working).outcome,
              SaveResult::Outcome::Missing);
    EXPECT_TRUE(files.files.empty());
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0], (Message{u"Config file is not exist.", u"Qor"}));
}

TEST(ConfigSave, FailuresAreReportedAndLeaveTheOldFileWhole) {
    enum class Fault { NotWritable, DiskFull, ReplaceRefused };
    struct Case {
        Fault fault;
        qor::SystemError code;
        std::u16string text;
    };
    const Case cases[] = {{Fault::NotWritable, 32, u"Error Code is: 32 \n"},
                          {Fault::DiskFull, 112, u"Error Code is: 112 \n"},
                          {Fault::ReplaceRefused, 5, u"Error Code is: 5 \n"},
                          // Codes are shown as the signed number "%d" makes of them.
                          {Fault::ReplaceRefused, 0x80070005u, u"Error Code is: -2147024891 \n"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        MemoryFileSystem files;
        const std::string old = pattern(2022, 6);
        files.files[kConfig] = old;
        switch (c.fault) {
        case Fault::NotWritable:
            files.notWritable[kConfig] = c.code;
            break;
        case Fault::DiskFull:
            files.writeError = c.code;
            break;
        case Fault::ReplaceRefused:
            // ... and the write in place too.
            files.replaceError = c.code;
            files.inPlaceError = c.code;
            break;
        }
        RecordingSink sink;
        const qor::SettingsState state = filledState(5);
        const SaveResult result = qor::saveConfig(files, sink, kConfig, state.working);
        EXPECT_EQ(result.outcome, SaveResult::Outcome::Failed);
        EXPECT_EQ(result.error, c.code);
        ASSERT_EQ(sink.shown.size(), 1u);
        EXPECT_EQ(sink.shown[0], (Message{c.text, u"NULL ==fp "}));
        EXPECT_EQ(files.files[kConfig], old);
        EXPECT_EQ(files.files.size(), 1u); // no temporary file left behind
    }
}

TEST(ConfigSave, RetriesARefusedReplaceThenWritesInPlace) {
    using Calls = std::vector<std::string>;
    const Calls refusedThroughout{"write",    "replace", "pause 50", "replace",
                                  "pause 50", "replace", "pause 50", "replace",
                                  "pause 50", "replace", "in place"};
    struct Case {
        const char* name;
        qor::SystemError createError;
        qor::SystemError replaceError;
        unsigned replaceRefusals;
        qor::SystemError inPlaceError;
        Calls calls;
        std::u16string message; // empty when saved
    };
    const Case cases[] = {
        {"nothing in the way", 0, 0, 0, 0, {"write", "replace"}, u""},
        // A standard user's folder under Program Files, with write access to config.bin alone.
        {"folder refuses new files", 5, 0, 0, 0, {"write", "in place"}, u""},
        {"file held for a moment",
         0,
         32,
         2,
         0,
         {"write", "replace", "pause 50", "replace", "pause 50", "replace"},
         u""},
        {"replace always refused", 0, 5, ~0u, 0, refusedThroughout, u""},
        {"file not writable either", 0, 32, ~0u, 32, refusedThroughout, u"Error Code is: 32 \n"},
        {"folder and file refuse", 5, 0, 0, 5, {"write", "in place"}, u"Error Code is: 5 \n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryFileSystem files;
        const std::string old = pattern(2022, 6);
        files.files[kConfig] = old;
        files.createError = c.createError;
        files.replaceError = c.replaceError;
        files.replaceRefusals = c.replaceRefusals;
        files.inPlaceError = c.inPlaceError;
        RecordingSink sink;
        const qor::SettingsState state = filledState(7);
        const SaveResult result = qor::saveConfig(files, sink, kConfig, state.working);
        EXPECT_EQ(files.calls, c.calls);
        EXPECT_EQ(files.files.size(), 1u); // no temporary file left behind
        if (c.message.empty()) {
            EXPECT_EQ(result.outcome, SaveResult::Outcome::Saved);
            EXPECT_TRUE(sink.shown.empty());
            EXPECT_EQ(files.files[kConfig], "\x01" + recordAsString(state.working));
        } else {
            EXPECT_EQ(result.outcome, SaveResult::Outcome::Failed);
            EXPECT_EQ(sink.shown, (std::vector<Message>{{c.message, u"NULL ==fp "}}));
            EXPECT_EQ(files.files[kConfig], old);
        }
    }
}

TEST(ConfigFile, ReservedBytesAndSpareSlotsSurviveALoadSaveCycle) {
    MemoryFileSystem files;
    const std::string original = pattern(2022, 11);
    files.files[kConfig] = original;
    RecordingSink sink;
    qor::SettingsState state;
    ASSERT_EQ(qor::loadConfig(files, sink, kConfig, state).outcome, LoadResult::Outcome::Read);
    // Spot checks that the bytes landed where the layout puts them.
    EXPECT_EQ(state.working.reserved1920[0], static_cast<std::uint8_t>(original[1921]));
    EXPECT_EQ(state.working.modeB.macroLoopMode[11], static_cast<std::uint8_t>(original[384]));
    EXPECT_EQ(state.working.reserved2019[1], static_cast<std::uint8_t>(original[2021]));
    ASSERT_EQ(qor::saveConfig(files, sink, kConfig, state.working).outcome,
              SaveResult::Outcome::Saved);
    const std::string& saved = files.files[kConfig];
    EXPECT_EQ(saved[0], 1);
    EXPECT_EQ(saved.substr(1), original.substr(1));
    EXPECT_EQ(state.firstRunFlag, static_cast<std::uint8_t>(original[0]));
}

TEST(ConfigFile, ExecutableNotCalledQorExeIsItsOwnConfigAndIsNotRead) {
    // All three paths equal the executable's own; it exists but is no 2022-byte file, and the
    // system refuses to open a running program for writing.
    const std::u16string exe = u"C:\\Tools\\Mouse.exe";
    MemoryFileSystem files;
    files.files[exe] = pattern(53248, 1);
    files.notWritable[exe] = 32;
    RecordingSink sink;
    qor::SettingsState state;
    EXPECT_EQ(qor::loadConfig(files, sink, exe, state).outcome, LoadResult::Outcome::WrongSize);
    EXPECT_EQ(qor::saveConfig(files, sink, exe, state.working).outcome,
              SaveResult::Outcome::Failed);
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0], (Message{u"Error Code is: 32 \n", u"NULL ==fp "}));
    EXPECT_EQ(files.files[exe], pattern(53248, 1));
    EXPECT_EQ(files.files.size(), 1u);
}

// --- on a real disk -------------------------------------------------------------------------

class ConfigOnDisk : public ::testing::Test {
protected:
    void writeFile(const std::string& bytes) const {
        std::ofstream(std::filesystem::path(config_), std::ios::binary) << bytes;
    }

    qor::test::ScratchDir scratch_{"qor-config"};
    const std::filesystem::path& dir_ = scratch_.path();
    std::u16string config_ = (dir_ / "config.bin").u16string();
};

TEST_F(ConfigOnDisk, SaveThenLoadGivesTheSameRecordAndFlagOne) {
    writeFile("short");
    qor::StdFileSystem files;
    RecordingSink sink;
    const qor::SettingsState saved = filledState(21);
    ASSERT_EQ(qor::saveConfig(files, sink, config_, saved.working).outcome,
              SaveResult::Outcome::Saved);
    qor::SettingsState loaded;
    ASSERT_EQ(qor::loadConfig(files, sink, config_, loaded).outcome, LoadResult::Outcome::Read);
    EXPECT_EQ(loaded.firstRunFlag, 1);
    EXPECT_EQ(recordAsString(loaded.working), recordAsString(saved.working));
    EXPECT_TRUE(sink.shown.empty());
    EXPECT_FALSE(std::filesystem::exists(qor::temporaryConfigPath(config_)));
}

TEST_F(ConfigOnDisk, MissingFileIsNotCreated) {
    qor::StdFileSystem files;
    RecordingSink sink;
    EXPECT_EQ(qor::saveConfig(files, sink, config_, qor::SettingsRecord{}).outcome,
              SaveResult::Outcome::Missing);
    EXPECT_TRUE(std::filesystem::is_empty(dir_));
}

// Stands for a process that dies after the new file is written and before it replaces the old.
struct Crash {};
class CrashBeforeReplace final : public qor::FileSystem {
public:
    qor::StdFileSystem real;
    bool exists(std::u16string_view p) override { return real.exists(p); }
    std::unique_ptr<qor::ReadableFile> openForReading(std::u16string_view p) override {
        return real.openForReading(p);
    }
    qor::SystemError checkWritable(std::u16string_view p) override { return real.checkWritable(p); }
    qor::WriteResult writeWhole(std::u16string_view p, std::span<const std::uint8_t> b) override {
        return real.writeWhole(p, b);
    }
    qor::SystemError writeInPlace(std::u16string_view, std::span<const std::uint8_t>,
                                  bool) override {
        throw Crash{};
    }
    qor::SystemError replace(std::u16string_view, std::u16string_view) override { throw Crash{}; }
    void remove(std::u16string_view p) override { real.remove(p); }
    std::optional<std::vector<std::u16string>> listFiles(std::u16string_view f) override {
        return real.listFiles(f);
    }
    qor::SystemError createFolder(std::u16string_view f) override { return real.createFolder(f); }
};

TEST_F(ConfigOnDisk, SaveInterruptedBeforeTheReplaceLeavesThePreviousFileWhole) {
    const std::string previous = pattern(2022, 30);
    writeFile(previous);
    CrashBeforeReplace crashing;
    RecordingSink sink;
    const qor::SettingsState state = filledState(31);
    EXPECT_THROW(qor::saveConfig(crashing, sink, config_, state.working), Crash);
    EXPECT_EQ(qor::test::readFile(config_), previous);
    // The next save goes through despite the leftover temporary file.
    qor::StdFileSystem files;
    ASSERT_EQ(qor::saveConfig(files, sink, config_, state.working).outcome,
              SaveResult::Outcome::Saved);
    const std::string now = qor::test::readFile(config_);
    ASSERT_EQ(now.size(), 2022u);
    EXPECT_EQ(now.substr(1), recordAsString(state.working));
    EXPECT_FALSE(std::filesystem::exists(qor::temporaryConfigPath(config_)));
}

TEST_F(ConfigOnDisk, FolderInPlaceOfTheFileIsReportedAndKept) {
    std::filesystem::create_directory(std::filesystem::path(config_));
    qor::StdFileSystem files;
    RecordingSink sink;
    const SaveResult result = qor::saveConfig(files, sink, config_, qor::SettingsRecord{});
    EXPECT_EQ(result.outcome, SaveResult::Outcome::Failed);
    EXPECT_NE(result.error, 0u);
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].caption, u"NULL ==fp ");
    EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::path(config_)));
    qor::SettingsState state;
    EXPECT_NE(qor::loadConfig(files, sink, config_, state).outcome, LoadResult::Outcome::Read);
}

} // namespace
