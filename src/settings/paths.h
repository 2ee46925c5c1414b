// The files beside the executable. Their paths come from the module path by a plain text
// replacement of the executable's name; nothing parses the path.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace qor {

inline constexpr std::u16string_view kExecutableName = u"Qor.exe";
// The module path is read into a buffer of this many wide characters, terminator included.
inline constexpr std::size_t kModulePathChars = 1024;

// What the system's 1024-character buffer keeps of a longer path.
std::u16string_view clampModulePath(std::u16string_view modulePath);

struct FilePaths {
    std::u16string config;    // config.bin
    std::u16string recordIni; // record.ini
    std::u16string strIni;    // str.ini
};

// When the executable is not called "Qor.exe" all three equal the module path.
FilePaths buildFilePaths(std::u16string_view modulePath);

// The module path with the executable's name cut out: the program's folder with its trailing
// separator.
std::u16string programFolder(std::u16string_view modulePath);

} // namespace qor
