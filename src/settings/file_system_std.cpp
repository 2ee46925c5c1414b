#include "settings/file_system_std.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace qor {

namespace {

namespace fs = std::filesystem;

// A path the library cannot convert is treated like one that names nothing.
bool toPath(std::u16string_view text, fs::path& out) {
    try {
        out = fs::path(std::u16string(text));
        return true;
    } catch (...) {
        return false;
    }
}

SystemError lastErrno() {
    const int code = errno;
    return code != 0 ? static_cast<SystemError>(code) : static_cast<SystemError>(EIO);
}

std::FILE* openFile(const fs::path& path, const char* mode) {
    errno = 0;
#ifdef _WIN32
    std::wstring wideMode;
    for (const char* c = mode; *c != '\0'; ++c) {
        wideMode.push_back(static_cast<wchar_t>(*c));
    }
    return _wfopen(path.c_str(), wideMode.c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

int cutTo(std::FILE* file, std::size_t size) {
#ifdef _WIN32
    return _chsize_s(_fileno(file), static_cast<long long>(size));
#else
    return ftruncate(fileno(file), static_cast<off_t>(size));
#endif
}

int syncToDisk(std::FILE* file) {
#ifdef _WIN32
    return _commit(_fileno(file));
#else
    return fsync(fileno(file));
#endif
}

class StdReadableFile final : public ReadableFile {
public:
    explicit StdReadableFile(std::FILE* file) : file_(file) {}
    ~StdReadableFile() override { std::fclose(file_); }
    StdReadableFile(const StdReadableFile&) = delete;
    StdReadableFile& operator=(const StdReadableFile&) = delete;

    std::optional<std::uint64_t> size() override {
        if (std::fseek(file_, 0, SEEK_END) != 0) {
            return std::nullopt;
        }
        const long end = std::ftell(file_);
        if (end < 0 || std::fseek(file_, 0, SEEK_SET) != 0) {
            return std::nullopt;
        }
        return static_cast<std::uint64_t>(end);
    }

    std::size_t read(std::span<std::uint8_t> into) override {
        return std::fread(into.data(), 1, into.size(), file_);
    }

private:
    std::FILE* file_;
};

} // namespace

bool StdFileSystem::exists(std::u16string_view path) {
    fs::path p;
    std::error_code ec;
    return toPath(path, p) && fs::exists(p, ec);
}

std::unique_ptr<ReadableFile> StdFileSystem::openForReading(std::u16string_view path) {
    fs::path p;
    if (!toPath(path, p)) {
        return nullptr;
    }
    std::FILE* file = openFile(p, "rb");
    if (file == nullptr) {
        return nullptr;
    }
    return std::make_unique<StdReadableFile>(file);
}

SystemError StdFileSystem::checkWritable(std::u16string_view path) {
    fs::path p;
    if (!toPath(path, p)) {
        return static_cast<SystemError>(EINVAL);
    }
    // "r+" never creates the file and never truncates it.
    std::FILE* file = openFile(p, "r+b");
    if (file == nullptr) {
        return lastErrno();
    }
    std::fclose(file);
    return 0;
}

WriteResult StdFileSystem::writeWhole(std::u16string_view path,
                                      std::span<const std::uint8_t> bytes) {
    fs::path p;
    if (!toPath(path, p)) {
        return {static_cast<SystemError>(EINVAL), false};
    }
    std::FILE* file = openFile(p, "wb");
    if (file == nullptr) {
        return {lastErrno(), false};
    }
    errno = 0;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() &&
                         std::fflush(file) == 0 && syncToDisk(file) == 0;
    const SystemError error = written ? 0 : lastErrno();
    const bool closed = std::fclose(file) == 0;
    if (error != 0) {
        return {error, true};
    }
    return {closed ? 0 : lastErrno(), true};
}

SystemError StdFileSystem::writeInPlace(std::u16string_view path,
                                        std::span<const std::uint8_t> bytes, bool mayCreate) {
    fs::path p;
    if (!toPath(path, p)) {
        return static_cast<SystemError>(EINVAL);
    }
    // "r+" neither creates nor truncates: the file keeps its place, and its rights.
    std::FILE* file = openFile(p, "r+b");
    if (file == nullptr && mayCreate && errno == ENOENT) {
        file = openFile(p, "w+b");
    }
    if (file == nullptr) {
        return lastErrno();
    }
    errno = 0;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() &&
                         std::fflush(file) == 0 && cutTo(file, bytes.size()) == 0 &&
                         syncToDisk(file) == 0;
    const SystemError error = written ? 0 : lastErrno();
    const bool closed = std::fclose(file) == 0;
    if (error != 0) {
        return error;
    }
    return closed ? 0 : lastErrno();
}

SystemError StdFileSystem::replace(std::u16string_view source, std::u16string_view target) {
    fs::path from;
    fs::path to;
    if (!toPath(source, from) || !toPath(target, to)) {
        return static_cast<SystemError>(EINVAL);
    }
    std::error_code ec;
    fs::rename(from, to, ec);
    return ec ? static_cast<SystemError>(ec.value() != 0 ? ec.value() : EIO) : 0;
}

void StdFileSystem::remove(std::u16string_view path) {
    fs::path p;
    std::error_code ec;
    if (toPath(path, p)) {
        fs::remove(p, ec);
    }
}

std::optional<std::vector<std::u16string>> StdFileSystem::listFiles(std::u16string_view folder) {
    fs::path p;
    if (!toPath(folder, p)) {
        return std::nullopt;
    }
    std::error_code ec;
    std::vector<std::u16string> names;
    if (!fs::exists(p, ec)) {
        return names;
    }
    fs::directory_iterator it(p, ec);
    if (ec) {
        return std::nullopt;
    }
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) {
            return std::nullopt;
        }
        std::error_code kind;
        if (it->is_regular_file(kind)) {
            try {
                names.push_back(it->path().filename().u16string());
            } catch (...) {
                // A name the library cannot convert is no profile the program could name.
            }
        }
    }
    if (ec) {
        return std::nullopt;
    }
    return names;
}

SystemError StdFileSystem::createFolder(std::u16string_view folder) {
    fs::path p;
    if (!toPath(folder, p)) {
        return static_cast<SystemError>(EINVAL);
    }
    std::error_code ec;
    fs::create_directory(p, ec);
    if (ec) {
        return static_cast<SystemError>(ec.value() != 0 ? ec.value() : EIO);
    }
    return fs::is_directory(p, ec) ? 0 : static_cast<SystemError>(ENOTDIR);
}

} // namespace qor
