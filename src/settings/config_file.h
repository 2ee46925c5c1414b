// config.bin: the first-run flag and the settings record, exactly 2022 bytes, no header.
// The program never creates the file: it is installed with the program and only rewritten.
#pragma once
#include "base/message_sink.h"
#include "settings/file_system.h"
#include "settings/settings_state.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace qor {

inline constexpr std::size_t kConfigFileSize = 1 + kSettingsRecordSize;

// Caption of the messages that name no caption of their own. The program sets no title, so
// one fixed name stands for it on every system.
inline constexpr std::u16string_view kApplicationTitle = u"Qor";

inline constexpr std::u16string_view kConfigMissingText = u"Config file is not exist.";
inline constexpr std::u16string_view kSaveErrorCaption = u"NULL ==fp ";

// "Error Code is: %d \n" with the system's error code.
std::u16string saveErrorText(SystemError code);

// A save writes here first and then replaces config.bin with it (file_save.h).
std::u16string temporaryConfigPath(std::u16string_view configPath);

struct LoadResult {
    enum class Outcome {
        Missing,    // message shown, nothing read
        Unopenable, // nothing read, silently
        WrongSize,  // nothing read, silently
        Read,       // the flag and up to 2021 bytes of the record read
    };
    Outcome outcome = Outcome::Missing;
    std::size_t recordBytesRead = 0;
    std::u16string trace; // for a debug channel; never shown to the user
};

struct SaveResult {
    enum class Outcome {
        Missing, // message shown, nothing written
        Failed,  // error message shown; the previous config.bin is untouched
        Saved,
    };
    Outcome outcome = Outcome::Missing;
    SystemError error = 0;
    std::u16string trace;
};

// Reads config.bin into state.working and state.firstRunFlag. A file of the wrong size leaves
// both as they are; a short read keeps the bytes it got and leaves the rest of the record.
// No field is checked: a foreign file is used as it is.
LoadResult loadConfig(FileSystem& files, MessageSink& messages, std::u16string_view configPath,
                      SettingsState& state);

// Writes the first-run flag (1 for every save of the program) and the record over an existing
// config.bin. The file is replaced as a whole, so a crash or a full disk leaves the old file or
// the new one, never a part; where the folder refuses the replacement, the file is overwritten
// in place (file_save.h). The in-memory
// first-run flag is not changed.
SaveResult saveConfig(FileSystem& files, MessageSink& messages, std::u16string_view configPath,
                      const SettingsRecord& record, std::uint8_t firstRunFlag = 1);

} // namespace qor
