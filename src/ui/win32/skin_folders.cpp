#include "ui/win32/skin_folders.h"

#include <windows.h>

namespace qor {

std::vector<std::u16string> skinFolderNames(const std::u16string& root) {
    std::vector<std::u16string> names;
    const std::u16string pattern = root + u"\\*.*";
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(reinterpret_cast<const wchar_t*>(pattern.c_str()), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        const std::u16string name(reinterpret_cast<const char16_t*>(found.cFileName));
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && name != u"." &&
            name != u"..") {
            names.push_back(name);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

} // namespace qor
