#include "settings/paths.h"

#include "base/text_replace.h"

namespace qor {

std::u16string_view clampModulePath(std::u16string_view modulePath) {
    return modulePath.substr(0, kModulePathChars - 1);
}

FilePaths buildFilePaths(std::u16string_view modulePath) {
    const std::u16string_view path = clampModulePath(modulePath);
    return FilePaths{replaceAll(path, kExecutableName, u"config.bin"),
                     replaceAll(path, kExecutableName, u"record.ini"),
                     replaceAll(path, kExecutableName, u"str.ini")};
}

std::u16string programFolder(std::u16string_view modulePath) {
    return replaceAll(clampModulePath(modulePath), kExecutableName, u"");
}

} // namespace qor
