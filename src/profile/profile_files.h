// A profile and the program's own files: what config.bin, record.ini and str.ini hold as one
// profile, the macros of a profile written into record.ini, and the active profile's name, kept
// in str.ini.
#pragma once
#include "profile/profile_format.h"
#include "settings/ini_engine.h"
#include "settings/settings_record.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qor {

inline constexpr std::u16string_view kProgramSection = u"Qor";
inline constexpr std::u16string_view kActiveProfileKey = u"ActiveProfile";

// Empty when no profile is active.
std::u16string readActiveProfile(const IniEngine& ini, const std::filesystem::path& strIni);
// An empty name removes the key. False when str.ini could not be written.
bool writeActiveProfile(const IniEngine& ini, const std::filesystem::path& strIni,
                        std::u16string_view name);

// `record` with the macros of record.ini and the key-row texts of str.ini's language section;
// nothing when record.ini cannot be read.
std::optional<Profile> profileOfFiles(const SettingsRecord& record, const IniEngine& ini,
                                      const std::filesystem::path& recordIni,
                                      const std::filesystem::path& strIni,
                                      std::u16string_view languageSection);

// Makes `macros` the macros of record.ini. The file is written only when they change, so that an
// unchanged file keeps its bytes. Empty on success, otherwise why nothing was written.
std::string writeProfileMacros(const IniEngine& ini, const std::filesystem::path& recordIni,
                               const std::vector<ProfileMacro>& macros);

} // namespace qor
