// config.bin through the Windows file operations: save replaces the file in one step, a file
// that is in use or read-only is reported with the system's error code and left whole.
#include "settings/config_file.h"
#include "settings/paths.h"
#include "settings/win32/file_system_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

namespace {

struct Shown {
    std::u16string text;
    std::u16string caption;
};

class RecordingSink final : public qor::MessageSink {
public:
    void show(std::u16string_view text, std::u16string_view caption) override {
        shown.push_back({std::u16string(text), std::u16string(caption)});
    }
    std::vector<Shown> shown;
};

const wchar_t* w(const std::u16string& s) {
    return reinterpret_cast<const wchar_t*>(s.c_str());
}

class ConfigWin32 : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string name =
            std::string("qor-cfg-") + info->name() + "-" + std::to_string(GetCurrentProcessId());
        dir_ = std::u16string(reinterpret_cast<const char16_t*>(temp)) +
               std::u16string(name.begin(), name.end());
        CreateDirectoryW(w(dir_), nullptr);
        // As the program builds it: from an executable path in the folder.
        config_ = qor::buildFilePaths(dir_ + u"\\Qor.exe").config;
    }
    void TearDown() override {
        for (const std::u16string& f : {config_, qor::temporaryConfigPath(config_)}) {
            SetFileAttributesW(w(f), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(w(f));
        }
        RemoveDirectoryW(w(dir_));
    }

    void writeFile(const std::string& bytes) const {
        HANDLE h = CreateFileW(w(config_), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        DWORD wrote = 0;
        WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr);
        CloseHandle(h);
    }
    std::string readFile(const std::u16string& path) const {
        HANDLE h = CreateFileW(w(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            return "<none>";
        }
        std::string bytes(1 << 16, '\0');
        DWORD got = 0;
        ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
        CloseHandle(h);
        bytes.resize(got);
        return bytes;
    }
    static qor::SettingsRecord pattern(unsigned seed) {
        qor::SettingsRecord record{};
        auto bytes = qor::recordBytes(record);
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            bytes[i] = static_cast<std::uint8_t>(i * 7 + seed);
        }
        return record;
    }
    static std::string image(const qor::SettingsRecord& record) {
        const auto bytes = qor::recordBytes(record);
        return std::string(1, '\x01') + std::string(bytes.begin(), bytes.end());
    }

    std::u16string dir_;
    std::u16string config_;
    qor::Win32FileSystem files_;
    RecordingSink sink_;
};

TEST_F(ConfigWin32, SaveReplacesAnyFileAndLoadReadsItBack) {
    writeFile(std::string(2023, 'x'));
    const qor::SettingsRecord record = pattern(3);
    EXPECT_EQ(qor::saveConfig(files_, sink_, config_, record).outcome,
              qor::SaveResult::Outcome::Saved);
    EXPECT_EQ(readFile(config_), image(record));
    EXPECT_EQ(readFile(qor::temporaryConfigPath(config_)), "<none>");
    qor::SettingsState state;
    const qor::LoadResult loaded = qor::loadConfig(files_, sink_, config_, state);
    EXPECT_EQ(loaded.outcome, qor::LoadResult::Outcome::Read);
    EXPECT_EQ(state.firstRunFlag, 1);
    EXPECT_EQ(image(state.working), image(record));
    EXPECT_TRUE(sink_.shown.empty());
}

TEST_F(ConfigWin32, WrongSizeIsIgnoredAndMissingIsNeverCreated) {
    writeFile(std::string(2021, 'x'));
    qor::SettingsState state;
    EXPECT_EQ(qor::loadConfig(files_, sink_, config_, state).outcome,
              qor::LoadResult::Outcome::WrongSize);
    DeleteFileW(w(config_));
    EXPECT_EQ(qor::loadConfig(files_, sink_, config_, state).outcome,
              qor::LoadResult::Outcome::Missing);
    EXPECT_EQ(qor::saveConfig(files_, sink_, config_, pattern(1)).outcome,
              qor::SaveResult::Outcome::Missing);
    EXPECT_EQ(GetFileAttributesW(w(config_)), INVALID_FILE_ATTRIBUTES);
    ASSERT_EQ(sink_.shown.size(), 2u);
    EXPECT_EQ(sink_.shown[1].text, u"Config file is not exist.");
    EXPECT_EQ(sink_.shown[1].caption, u"Qor");
}

TEST_F(ConfigWin32, ReadOnlyFileIsReportedWithAccessDeniedAndKept) {
    const std::string old = image(pattern(9));
    writeFile(old);
    SetFileAttributesW(w(config_), FILE_ATTRIBUTE_READONLY);
    // Wine keeps the attribute as Unix permissions, which do not bind root.
    HANDLE probe = CreateFileW(w(config_), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        CloseHandle(probe);
        GTEST_SKIP() << "this file system lets the read-only file be opened for writing";
    }
    const qor::SaveResult result = qor::saveConfig(files_, sink_, config_, pattern(4));
    EXPECT_EQ(result.outcome, qor::SaveResult::Outcome::Failed);
    EXPECT_EQ(result.error, static_cast<qor::SystemError>(ERROR_ACCESS_DENIED));
    ASSERT_EQ(sink_.shown.size(), 1u);
    EXPECT_EQ(sink_.shown[0].text, u"Error Code is: 5 \n");
    EXPECT_EQ(sink_.shown[0].caption, u"NULL ==fp ");
    EXPECT_EQ(readFile(config_), old);
}

TEST_F(ConfigWin32, FileInUseIsReportedOrWrittenInPlace) {
    // Another program holds config.bin open. Without write sharing the file cannot be opened for
    // writing at all: the save is reported and the old file stays. With write but no delete
    // sharing the replace is refused a few times, and the file is then written in place.
    struct Case {
        DWORD share;
        DWORD error; // 0: saved
    };
    const Case cases[] = {{FILE_SHARE_READ, ERROR_SHARING_VIOLATION},
                          {FILE_SHARE_READ | FILE_SHARE_WRITE, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.share);
        sink_.shown.clear();
        const std::string old = image(pattern(2));
        writeFile(old);
        HANDLE holder =
            CreateFileW(w(config_), GENERIC_READ, c.share, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        const qor::SaveResult result = qor::saveConfig(files_, sink_, config_, pattern(5));
        CloseHandle(holder);
        EXPECT_EQ(readFile(qor::temporaryConfigPath(config_)), "<none>");
        if (c.error == 0) {
            EXPECT_EQ(result.outcome, qor::SaveResult::Outcome::Saved);
            EXPECT_TRUE(sink_.shown.empty());
            EXPECT_EQ(readFile(config_), image(pattern(5)));
            continue;
        }
        EXPECT_EQ(result.outcome, qor::SaveResult::Outcome::Failed);
        EXPECT_EQ(result.error, c.error);
        ASSERT_EQ(sink_.shown.size(), 1u);
        EXPECT_EQ(sink_.shown[0].text, qor::saveErrorText(result.error));
        EXPECT_EQ(sink_.shown[0].caption, u"NULL ==fp ");
        EXPECT_EQ(readFile(config_), old);
    }
}

TEST_F(ConfigWin32, WriteInPlaceKeepsTheFileAndCutsItsOldTail) {
    const std::string shorter(10, 'n');
    const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(shorter.data()), 10);
    const struct {
        const char* name;
        const char* before; // nullptr: no file
        bool mayCreate;
        DWORD error;
        const char* after;
    } cases[] = {
        {"longer file", "0123456789abcdefghij", false, 0, "nnnnnnnnnn"},
        {"shorter file", "01234", false, 0, "nnnnnnnnnn"},
        {"missing, not to be created", nullptr, false, ERROR_FILE_NOT_FOUND, "<none>"},
        {"missing, may be created", nullptr, true, 0, "nnnnnnnnnn"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileW(w(config_));
        if (c.before != nullptr) {
            writeFile(c.before);
        }
        EXPECT_EQ(files_.writeInPlace(config_, bytes, c.mayCreate), c.error);
        EXPECT_EQ(readFile(config_), c.after);
    }
}

TEST(ModulePath, NamesThisExecutable) {
    const std::u16string path = qor::modulePath();
    EXPECT_NE(path.find(u"win_config_file_win32.exe"), std::u16string::npos);
    // Not called Qor.exe: all three files are the executable itself.
    EXPECT_EQ(qor::buildFilePaths(path).config, path);
}

} // namespace
