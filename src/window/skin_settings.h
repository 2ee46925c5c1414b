// The skin the windows are drawn in: str.ini's skin name ("Path"), the folder the images come
// from and the text colour ("RColor", "GColor", "BColor"). Read at start with the rest of
// str.ini, chosen in the skin dialog, and saved to str.ini when that dialog ends with OK.
#pragma once
#include "settings/ini_engine.h"
#include "ui/str_ini.h"
#include "window/skins_dialog.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace qor {

// The names of the folders in a folder (not "." and ".."), in the order the search gives them.
using FolderLister = std::function<std::vector<std::u16string>(const std::u16string& folder)>;

class SkinSettings {
public:
    // `programFolder` ends with its separator (programFolder() in settings/paths.h).
    SkinSettings(const IniEngine& ini, std::filesystem::path strIni, std::u16string programFolder,
                 FolderLister folders);

    // Until str.ini has been read: no skin name, no folder, the initial text colour.
    const SkinChoice& current() const { return current_; }
    // The Skins root, without a separator at its end, and the names of its folders.
    std::u16string root() const { return skinsRoot(programFolder_); }
    std::vector<std::u16string> folderNames() const { return folders_(root()); }

    // str.ini as read at start.
    void read(const StrIniValues& values);
    // The skin dialog's OK: the choice is taken and saved in str.ini; false when str.ini could
    // not be written (the choice holds for the run all the same).
    bool take(const SkinChoice& chosen);

private:
    const IniEngine& ini_;
    std::filesystem::path strIni_;
    std::u16string programFolder_;
    FolderLister folders_;
    SkinChoice current_;
};

} // namespace qor
