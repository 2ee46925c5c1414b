// The few file operations config.bin needs. The Windows shell answers with the system's calls
// and GetLastError codes; the portable adapter (file_system_std.h) with the C library's errno.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

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
    virtual SystemError writeWhole(std::u16string_view path,
                                   std::span<const std::uint8_t> bytes) = 0;
    // Puts `source` in the place of `target` in one step: afterwards `target` is either the old
    // file or the new one, never a mix.
    virtual SystemError replace(std::u16string_view source, std::u16string_view target) = 0;
    // Best effort; a missing file is not an error.
    virtual void remove(std::u16string_view path) = 0;
};

} // namespace qor
