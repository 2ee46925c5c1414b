// The texts the macro area shows in message boxes. Most come from the main window's string
// table in the interface language; the rest are the same in every language.
#pragma once
#include "app/config_file.h"
#include "ui/strings.h"

#include <string>
#include <string_view>

namespace qor {

inline constexpr std::u16string_view kWarningCaption = u"Warning";
inline constexpr std::u16string_view kMacroLimitText = u"Macro numbers up to 12.";
// "JournalRecordHook Install error code :%d\n".
std::u16string hookInstallErrorText(unsigned long errorCode);

struct MacroTexts {
    std::u16string appTitle{kApplicationTitle};
    std::u16string startRecording = u"Start Recording";
    std::u16string stopRecording = u"Stop Recording";
    std::u16string nameBlank = u"Macro name is blank";
    std::u16string nameExists = u"Macro name already exists";
    std::u16string stopHint = u"Press Ctrl+Break key to stop recording";
    std::u16string notRecording =
        u"It doesn\u2019t start recording, unnecessary to press Stop key!";
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

} // namespace qor
