// The texts the macro area shows in message boxes. Most come from the main window's string
// table in the interface language; the rest are the same in every language.
#pragma once
#include "base/message_sink.h"
#include "settings/config_file.h"
#include "ui/strings.h"

#include <string>
#include <string_view>

namespace qor {

inline constexpr std::u16string_view kMacroLimitText = u"Macro numbers up to 12.";
// "JournalRecordHook Install error code :%d\n".
std::u16string hookInstallErrorText(unsigned long errorCode);

struct MacroTexts {
    std::u16string appTitle{kApplicationTitle};
    std::u16string startRecording;
    std::u16string stopRecording;
    std::u16string nameBlank;
    std::u16string nameExists;
    std::u16string stopHint;
    std::u16string notRecording;
};

// The texts of the interface language, taken from the main window's table.
inline MacroTexts macroTextsOf(const StringTable& table) {
    MacroTexts texts;
    texts.startRecording = table.text(StringId::StartRecording);
    texts.stopRecording = table.text(StringId::StopRecording);
    texts.nameBlank = table.text(StringId::MacroNameBlank);
    texts.nameExists = table.text(StringId::MacroNameExists);
    texts.stopHint = table.text(StringId::StopRecordingHint);
    texts.notRecording = table.text(StringId::NotRecording);
    return texts;
}

inline MacroTexts englishMacroTexts() {
    return macroTextsOf(StringTable(Language::English));
}

} // namespace qor
