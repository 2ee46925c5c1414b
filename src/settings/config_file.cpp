#include "settings/config_file.h"

#include "base/decimal.h"
#include "settings/file_save.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace qor {

namespace {

void reportSaveError(MessageSink& messages, SystemError code) {
    messages.show(saveErrorText(code), kSaveErrorCaption);
}

} // namespace

std::u16string saveErrorText(SystemError code) {
    // The code is printed as a signed 32-bit number, as the system's own "%d" does.
    return u"Error Code is: " + formatDecimal(static_cast<std::int32_t>(code)) + u" \n";
}

std::u16string temporaryConfigPath(std::u16string_view configPath) {
    return temporaryPathFor(configPath);
}

LoadResult loadConfig(FileSystem& files, MessageSink& messages, std::u16string_view configPath,
                      SettingsState& state) {
    LoadResult result;
    if (!files.exists(configPath)) {
        messages.show(kConfigMissingText, kApplicationTitle);
        result.outcome = LoadResult::Outcome::Missing;
        return result;
    }
    const auto file = files.openForReading(configPath);
    if (!file) {
        result.outcome = LoadResult::Outcome::Unopenable;
        return result;
    }
    const auto size = file->size();
    if (!size || *size != kConfigFileSize) {
        result.outcome = LoadResult::Outcome::WrongSize;
        return result;
    }
    std::uint8_t flag = 0;
    if (file->read(std::span<std::uint8_t>(&flag, 1)) == 1) {
        state.firstRunFlag = flag;
    }
    // Read into a scratch buffer so that a short read replaces exactly the bytes it got.
    std::array<std::uint8_t, kSettingsRecordSize> buffer{};
    std::size_t got = 0;
    while (got < buffer.size()) {
        const std::size_t n = file->read(std::span<std::uint8_t>(buffer).subspan(got));
        if (n == 0) {
            break;
        }
        got += std::min(n, buffer.size() - got);
    }
    std::memcpy(recordBytes(state.working).data(), buffer.data(), got);
    result.outcome = LoadResult::Outcome::Read;
    result.recordBytesRead = got;
    result.trace = u"Prpgram First Run Flag:" + formatDecimal(state.firstRunFlag) +
                   u"\nRead Size is: " + formatDecimal(static_cast<long long>(got));
    return result;
}

SaveResult saveConfig(FileSystem& files, MessageSink& messages, std::u16string_view configPath,
                      const SettingsRecord& record, std::uint8_t firstRunFlag) {
    SaveResult result;
    if (!files.exists(configPath)) {
        messages.show(kConfigMissingText, kApplicationTitle);
        result.outcome = SaveResult::Outcome::Missing;
        return result;
    }
    const auto fail = [&](SystemError code) {
        reportSaveError(messages, code);
        result.outcome = SaveResult::Outcome::Failed;
        result.error = code;
        return result;
    };
    // A config.bin the program may not write (read-only, in use, or the executable itself when
    // it is not called Qor.exe) is reported and left alone rather than replaced.
    if (const SystemError code = files.checkWritable(configPath); code != 0) {
        return fail(code);
    }
    std::array<std::uint8_t, kConfigFileSize> fileBytes{};
    fileBytes[0] = firstRunFlag;
    const auto bytes = recordBytes(record);
    std::memcpy(fileBytes.data() + 1, bytes.data(), bytes.size());

    const FileSaveResult saved = saveWholeFile(files, configPath, fileBytes, false);
    if (saved.route == FileSaveResult::Route::failed) {
        return fail(saved.error);
    }
    result.outcome = SaveResult::Outcome::Saved;
    result.trace = u"Data num:1 BYTE -" +
                   formatDecimal(static_cast<long long>(kSettingsRecordSize)) +
                   u" BYTE\n Struct size:" +
                   formatDecimal(static_cast<long long>(kSettingsRecordSize)) + u" BYTE";
    return result;
}

} // namespace qor
