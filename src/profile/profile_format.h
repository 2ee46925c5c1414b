// A readable profile: every setting of config.bin and the macros of record.ini as a commented
// INI text a person can edit. Names stand for the values the program has names for (functions,
// keys, DPI values, lighting choices), numbers for the rest; a byte the program has no name for
// is written "raw N" and kept as it is, so that writing a profile and reading it back gives the
// same bytes.
#pragma once
#include "macro/macro_item.h"
#include "settings/ini_engine.h"
#include "settings/settings_record.h"
#include "ui/str_ini.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qor {

struct ProfileMacro {
    std::u16string name;
    std::u16string loopText; // "MacroLoopTimes" as stored
    std::vector<MacroItem> lines;
    bool operator==(const ProfileMacro&) const = default;
};

struct Profile {
    SettingsRecord record{};
    std::vector<ProfileMacro> macros;
    // The key-row texts of str.ini, section [KeyRows]. A text without the section (written before
    // it was carried) has none; using it keeps the texts as they are.
    std::optional<KeyRowTexts> keyRows{};
    // [General] Programs: the program file names that bring this profile in by themselves.
    std::vector<std::u16string> programs{};
    // [General] Default: the profile for programs no profile names.
    bool isDefault = false;
};

// A profile file larger than this is no hand-edited profile.
inline constexpr std::size_t kMaxProfileSize = 4u << 20;

// The profile as UTF-8 text. DPI levels are written as the values of `sensorType`'s list,
// which the text records so that reading it maps them back the same way.
std::string formatProfile(const Profile& profile, std::uint8_t sensorType);

struct ProfileReadResult {
    std::optional<Profile> profile;
    std::size_t line = 0; // the line at fault, 1-based; 0 for the file as a whole
    std::string error;
};

// Reads a profile over `base`: settings the text leaves out keep their values in `base` (key-row
// texts theirs in `baseRows`); the macros are exactly those of the text. Any unknown section or
// name, value out of range, name given twice or text the files cannot hold refuses the whole
// text. A byte-order mark is skipped.
ProfileReadResult parseProfile(std::string_view text, const SettingsRecord& base,
                               const KeyRowTexts& baseRows = {});

// "a.exe; b.exe": program names as [General] Programs holds them.
std::u16string formatProgramList(const std::vector<std::u16string>& programs);
// Why a program name cannot stand in Programs (empty when it can): a file name, no folder.
std::string programNameProblem(std::u16string_view program);

// The profile text with [General]'s Programs and Default replaced (left out when empty or no),
// everything else kept as written, comments included. A text without [General] gets one first.
std::string withGeneralKeys(std::string_view text, const std::vector<std::u16string>& programs,
                            bool isDefault);

// The macros of record.ini as the file holds them: every section, in file order, with the
// items its ItemCount states.
std::vector<ProfileMacro> macrosOfDocument(const IniDocument& document);
// Replaces every section of the document with the macros, in order.
void replaceMacros(IniDocument& document, const std::vector<ProfileMacro>& macros);

} // namespace qor
