#include "settings/win32/file_system_win32.h"

#include "base/win32/wide_text.h"
#include "settings/paths.h"

#include <windows.h>

#include <shlwapi.h>

#include <algorithm>
#include <limits>

namespace qor {

namespace {

SystemError lastError() {
    const DWORD code = GetLastError();
    return code != ERROR_SUCCESS ? code : ERROR_GEN_FAILURE;
}

class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() {
        if (valid()) {
            CloseHandle(h_);
        }
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return h_; }
    // Closing can report a late write error; the handle is gone either way.
    bool close() {
        const BOOL ok = CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
        return ok != FALSE;
    }

private:
    HANDLE h_;
};

class Win32ReadableFile final : public ReadableFile {
public:
    explicit Win32ReadableFile(HANDLE h) : file_(h) {}

    std::optional<std::uint64_t> size() override {
        LARGE_INTEGER size{};
        if (!GetFileSizeEx(file_.get(), &size) || size.QuadPart < 0) {
            return std::nullopt;
        }
        return static_cast<std::uint64_t>(size.QuadPart);
    }

    std::size_t read(std::span<std::uint8_t> into) override {
        const DWORD want = static_cast<DWORD>(
            std::min<std::size_t>(into.size(), std::numeric_limits<DWORD>::max()));
        DWORD got = 0;
        if (!ReadFile(file_.get(), into.data(), want, &got, nullptr)) {
            return 0;
        }
        return got;
    }

private:
    Handle file_;
};

} // namespace

bool Win32FileSystem::exists(std::u16string_view path) {
    return PathFileExistsW(wideString(path).c_str()) != FALSE;
}

std::unique_ptr<ReadableFile> Win32FileSystem::openForReading(std::u16string_view path) {
    const HANDLE h =
        CreateFileW(wideString(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    return std::make_unique<Win32ReadableFile>(h);
}

SystemError Win32FileSystem::checkWritable(std::u16string_view path) {
    // The sharing the C runtime's fopen asks for; a running executable refuses it.
    Handle file(CreateFileW(wideString(path).c_str(), GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid() ? 0 : lastError();
}

namespace {

// Writes all of `bytes` at the file's current position and flushes them to the disk.
SystemError writeAll(HANDLE file, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD want = static_cast<DWORD>(
            std::min<std::size_t>(bytes.size() - done, std::numeric_limits<DWORD>::max()));
        DWORD wrote = 0;
        if (!WriteFile(file, bytes.data() + done, want, &wrote, nullptr)) {
            return lastError();
        }
        if (wrote == 0) {
            return ERROR_DISK_FULL;
        }
        done += wrote;
    }
    return 0;
}

} // namespace

WriteResult Win32FileSystem::writeWhole(std::u16string_view path,
                                        std::span<const std::uint8_t> bytes) {
    Handle file(CreateFileW(wideString(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return {lastError(), false};
    }
    if (const SystemError error = writeAll(file.get(), bytes); error != 0) {
        return {error, true};
    }
    // The data must be on the disk before the rename makes it the file.
    if (!FlushFileBuffers(file.get())) {
        return {lastError(), true};
    }
    return {file.close() ? 0 : lastError(), true};
}

SystemError Win32FileSystem::writeInPlace(std::u16string_view path,
                                          std::span<const std::uint8_t> bytes, bool mayCreate) {
    // Needs write access to the file alone, not the right to create files in its folder; the
    // file keeps its security descriptor.
    Handle file(CreateFileW(wideString(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            mayCreate ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr));
    if (!file.valid()) {
        return lastError();
    }
    if (const SystemError error = writeAll(file.get(), bytes); error != 0) {
        return error;
    }
    if (!SetEndOfFile(file.get()) || !FlushFileBuffers(file.get())) {
        return lastError();
    }
    return file.close() ? 0 : lastError();
}

SystemError Win32FileSystem::replace(std::u16string_view source, std::u16string_view target) {
    // One rename that overwrites the target: config.bin is the old file or the new one at every
    // moment. (ReplaceFileW can fail half-way with the old file gone.)
    if (!MoveFileExW(wideString(source).c_str(), wideString(target).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return lastError();
    }
    return 0;
}

void Win32FileSystem::remove(std::u16string_view path) {
    DeleteFileW(wideString(path).c_str());
}

std::optional<std::vector<std::u16string>> Win32FileSystem::listFiles(std::u16string_view folder) {
    std::wstring pattern = wideString(folder);
    if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') {
        pattern += L'\\';
    }
    pattern += L'*';
    std::vector<std::u16string> names;
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            return names;
        }
        return std::nullopt;
    }
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            names.push_back(u16String(found.cFileName));
        }
    } while (FindNextFileW(search, &found));
    const DWORD error = GetLastError();
    FindClose(search);
    if (error != ERROR_NO_MORE_FILES) {
        return std::nullopt;
    }
    return names;
}

SystemError Win32FileSystem::createFolder(std::u16string_view folder) {
    if (CreateDirectoryW(wideString(folder).c_str(), nullptr)) {
        return 0;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS) {
        const DWORD attributes = GetFileAttributesW(wideString(folder).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            return 0;
        }
    }
    return error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE;
}

std::u16string modulePath() {
    wchar_t buffer[kModulePathChars] = {};
    const DWORD n = GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(kModulePathChars));
    const std::size_t length = std::min<std::size_t>(n, kModulePathChars - 1);
    return std::u16string(reinterpret_cast<const char16_t*>(buffer), length);
}

} // namespace qor
