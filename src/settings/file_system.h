// The few file operations config.bin needs, and the saves of record.ini and str.ini. The Windows
// shell answers with the system's calls and GetLastError codes; the portable adapter
// (file_system_std.h) with the C library's errno.
#pragma once
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace qor {

// 0 is success; anything else is the system's error code, reported to the user as it is.
using SystemError = std::uint32_t;

class ReadableFile {
public:
    virtual ~ReadableFile() = default;
    // The file's size, or nothing when it cannot be determined.
    virtual std::optional<std::uint64_t> size() = 0;
    // Reads up to into.size() bytes at the current position; fewer at the end or on an error.
    virtual std::size_t read(std::span<std::uint8_t> into) = 0;
};

struct WriteResult {
    SystemError error = 0;
    // False when the file could not be opened or created at all (nothing was written).
    bool opened = true;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // True for anything at the path, a folder included.
    virtual bool exists(std::u16string_view path) = 0;
    // Nothing when the file cannot be opened for reading.
    virtual std::unique_ptr<ReadableFile> openForReading(std::u16string_view path) = 0;
    // Opens an existing file for writing and closes it again without changing it.
    virtual SystemError checkWritable(std::u16string_view path) = 0;
    // Creates or truncates the file and writes all of `bytes` through to the disk.
    virtual WriteResult writeWhole(std::u16string_view path,
                                   std::span<const std::uint8_t> bytes) = 0;
    // Overwrites the file where it stands: writes `bytes` from its start, cuts it to their
    // length and flushes it to the disk. Creates a missing file only when `mayCreate`.
    virtual SystemError writeInPlace(std::u16string_view path, std::span<const std::uint8_t> bytes,
                                     bool mayCreate) = 0;
    // Puts `source` in the place of `target` in one step: afterwards `target` is either the old
    // file or the new one, never a mix.
    virtual SystemError replace(std::u16string_view source, std::u16string_view target) = 0;
    // Best effort; a missing file is not an error.
    virtual void remove(std::u16string_view path) = 0;
    // The names (no path) of the plain files in the folder, in no particular order; nothing when
    // the folder cannot be read. A missing folder has no files.
    virtual std::optional<std::vector<std::u16string>> listFiles(std::u16string_view folder) = 0;
    // Creates the folder; an existing one is no error.
    virtual SystemError createFolder(std::u16string_view folder) = 0;
    // The wait between two attempts at a refused replace.
    virtual void pause(unsigned milliseconds) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
};

} // namespace qor
