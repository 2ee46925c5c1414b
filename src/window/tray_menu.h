// The tray icon's menu: what it lists and what a chosen command means. The shell builds the
// system menu from these entries and hands back the command the user chose.
#pragma once
#include "base/window_ids.h"
#include "ui/strings.h"

#include <cstddef>
#include <string>
#include <vector>

namespace qor {

struct TrayMenuEntry {
    enum class Kind { Item, Separator, Submenu };
    Kind kind = Kind::Item;
    unsigned command = 0; // items
    std::u16string text;
    bool checked = false;
    bool enabled = true;
    std::vector<TrayMenuEntry> children; // submenus

    friend bool operator==(const TrayMenuEntry&, const TrayMenuEntry&) = default;
};

// One profile of the submenu: its label (marked when its file does not read) and whether it is
// the active one.
struct TrayProfile {
    std::u16string label;
    bool active = false;
};

struct TrayMenuState {
    std::u16string version; // "1.1.0"
    bool startsWithWindows = false;
    std::vector<TrayProfile> profiles;
};

// The program and its version (greyed), the Profiles submenu (each profile, then Save Current
// Settings As, Manage Profiles and Open Profiles Folder), Start with Windows, and Exit.
std::vector<TrayMenuEntry> trayMenu(const TrayMenuState& state, const StringTable& strings);

struct TrayCommand {
    enum class Kind {
        None,
        Exit,
        StartWithWindows,
        UseProfile,
        SaveProfileAs,
        ManageProfiles,
        OpenProfilesFolder
    };
    Kind kind = Kind::None;
    std::size_t profile = 0; // UseProfile: the index in the state's profiles

    friend bool operator==(const TrayCommand&, const TrayCommand&) = default;
};

// What the command `id` of a menu built for `profileCount` profiles asks for.
TrayCommand trayCommand(unsigned id, std::size_t profileCount);

} // namespace qor
