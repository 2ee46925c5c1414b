// Saving a whole file: written beside it and swapped in, so that a crash or a full disk leaves
// the old file or the new one. Where the folder refuses new files (a standard user under
// Program Files, with write access to the file alone) or the swap keeps being refused, the file
// is overwritten where it stands: a save then succeeds wherever the user may write the file.
#pragma once
#include "settings/file_system.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace qor {

// Antivirus, backup and sync tools hold a file without delete sharing for a moment.
inline constexpr unsigned kReplaceAttempts = 5;
inline constexpr unsigned kReplaceRetryPauseMs = 50;

// The temporary file beside `path`.
std::u16string temporaryPathFor(std::u16string_view path);

struct FileSaveResult {
    enum class Route { replaced, inPlace, failed };
    Route route = Route::failed;
    SystemError error = 0; // of the step that failed last; 0 unless failed
};

// Writes `bytes` as the whole file at `path`. A temporary that could be created but not written
// (a full disk) fails the save and leaves the file alone: overwriting in place could then stop
// half-way. `mayCreate` lets the in-place write create a missing file.
FileSaveResult saveWholeFile(FileSystem& files, std::u16string_view path,
                             std::span<const std::uint8_t> bytes, bool mayCreate);

} // namespace qor
