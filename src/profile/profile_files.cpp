#include "profile/profile_files.h"

#include "ui/str_ini.h"

namespace qor {

std::u16string readActiveProfile(const IniEngine& ini, const std::filesystem::path& strIni) {
    return ini.getString(strIni, kProgramSection, kActiveProfileKey);
}

bool writeActiveProfile(const IniEngine& ini, const std::filesystem::path& strIni,
                        std::u16string_view name) {
    if (name.empty()) {
        return ini.deleteKey(strIni, kProgramSection, kActiveProfileKey);
    }
    return ini.writeString(strIni, kProgramSection, kActiveProfileKey, name);
}

std::optional<Profile> profileOfFiles(const SettingsRecord& record, const IniEngine& ini,
                                      const std::filesystem::path& recordIni,
                                      const std::filesystem::path& strIni,
                                      std::u16string_view languageSection) {
    const auto macros = ini.load(recordIni);
    if (!macros) {
        return std::nullopt;
    }
    Profile profile;
    profile.record = record;
    profile.macros = macrosOfDocument(*macros);
    profile.keyRows = readStrIni(ini, strIni, languageSection).rows;
    return profile;
}

std::string writeProfileMacros(const IniEngine& ini, const std::filesystem::path& recordIni,
                               const std::vector<ProfileMacro>& macros) {
    auto document = ini.load(recordIni);
    if (!document) {
        return "cannot read " + recordIni.string();
    }
    if (macrosOfDocument(*document) == macros) {
        return {};
    }
    replaceMacros(*document, macros);
    // A record.ini the engine would not read back would lose every macro at the next start.
    if (const std::size_t size = document->byteCount(); size > kIniFileSizeMax) {
        return "the profile's macros would make " + recordIni.string() + " " +
               std::to_string(size) + " bytes, more than the " + std::to_string(kIniFileSizeMax) +
               " bytes the program reads";
    }
    if (!ini.save(recordIni, *document)) {
        return "cannot write " + recordIni.string();
    }
    return {};
}

} // namespace qor
