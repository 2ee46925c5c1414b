// The file operations of config.bin and of the INI saves on Windows, with GetLastError codes.
#pragma once
#include "settings/file_system.h"

#include <string>

namespace qor {

class Win32FileSystem final : public FileSystem {
public:
    bool exists(std::u16string_view path) override;
    std::unique_ptr<ReadableFile> openForReading(std::u16string_view path) override;
    SystemError checkWritable(std::u16string_view path) override;
    WriteResult writeWhole(std::u16string_view path, std::span<const std::uint8_t> bytes) override;
    SystemError writeInPlace(std::u16string_view path, std::span<const std::uint8_t> bytes,
                             bool mayCreate) override;
    SystemError replace(std::u16string_view source, std::u16string_view target) override;
    void remove(std::u16string_view path) override;
    std::optional<std::vector<std::u16string>> listFiles(std::u16string_view folder) override;
    SystemError createFolder(std::u16string_view folder) override;
};

// The running executable's full path, as much of it as a 1024-character buffer holds.
std::u16string modulePath();

} // namespace qor
