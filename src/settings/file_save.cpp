#include "settings/file_save.h"

namespace qor {

std::u16string temporaryPathFor(std::u16string_view path) {
    return std::u16string(path) + u".qor-tmp";
}

FileSaveResult saveWholeFile(FileSystem& files, std::u16string_view path,
                             std::span<const std::uint8_t> bytes, bool mayCreate) {
    const std::u16string temporary = temporaryPathFor(path);
    const WriteResult written = files.writeWhole(temporary, bytes);
    if (written.error == 0) {
        for (unsigned attempt = 1;; ++attempt) {
            if (files.replace(temporary, path) == 0) {
                return {FileSaveResult::Route::replaced, 0};
            }
            if (attempt == kReplaceAttempts) {
                break;
            }
            files.pause(kReplaceRetryPauseMs);
        }
    }
    files.remove(temporary);
    if (written.error != 0 && written.opened) {
        return {FileSaveResult::Route::failed, written.error};
    }
    if (const SystemError error = files.writeInPlace(path, bytes, mayCreate); error != 0) {
        return {FileSaveResult::Route::failed, error};
    }
    return {FileSaveResult::Route::inPlace, 0};
}

} // namespace qor
