#include "window/skin_settings.h"

namespace qor {

SkinSettings::SkinSettings(const IniEngine& ini, std::filesystem::path strIni,
                           std::u16string programFolder, FolderLister folders)
    : ini_(ini), strIni_(std::move(strIni)), programFolder_(std::move(programFolder)),
      folders_(std::move(folders)), current_{{}, {}, rgbOf(kInitialTextColour)} {}

void SkinSettings::read(const StrIniValues& values) {
    current_ = SkinChoice{values.skinName, skinFolder(programFolder_, values.skinName),
                          rgbOf(textColour(values))};
}

bool SkinSettings::take(const SkinChoice& chosen) {
    current_ = chosen;
    const Rgb c = chosen.textColour;
    return writeSkinSettings(ini_, strIni_, TextColour{c.red, c.green, c.blue}, chosen.name);
}

} // namespace qor
