#include "window/tray_menu.h"

#include <algorithm>

namespace qor {
namespace {

TrayMenuEntry item(unsigned command, std::u16string_view text, bool checked = false) {
    return {TrayMenuEntry::Kind::Item, command, std::u16string(text), checked, true, {}};
}

TrayMenuEntry separator() {
    return {TrayMenuEntry::Kind::Separator, 0, {}, false, true, {}};
}

} // namespace

std::vector<TrayMenuEntry> trayMenu(const TrayMenuState& state, const StringTable& strings) {
    TrayMenuEntry profiles{TrayMenuEntry::Kind::Submenu,
                           0,
                           std::u16string(strings.text(ProfileText::Profiles)),
                           false,
                           true,
                           {}};
    const std::size_t listed = std::min<std::size_t>(state.profiles.size(), kProfileCommandCount);
    for (std::size_t i = 0; i < listed; ++i) {
        const auto& p = state.profiles[i];
        profiles.children.push_back(
            item(kFirstProfileCommand + static_cast<unsigned>(i), p.label, p.active));
    }
    if (listed > 0) {
        profiles.children.push_back(separator());
    }
    profiles.children.push_back(
        item(kSaveProfileAsCommand, strings.text(ProfileText::SaveCurrentAs)));
    profiles.children.push_back(
        item(kManageProfilesCommand, strings.text(ProfileText::ManageProfiles)));
    profiles.children.push_back(
        item(kOpenProfilesFolderCommand, strings.text(ProfileText::OpenProfilesFolder)));

    TrayMenuEntry title = item(0, u"Qor " + state.version);
    title.enabled = false;
    return {title,
            separator(),
            std::move(profiles),
            item(kStartWithWindowsCommand, strings.text(ProgramText::StartWithWindows),
                 state.startsWithWindows),
            separator(),
            item(kExitCommand, strings.text(StringId::Exit))};
}

TrayCommand trayCommand(unsigned id, std::size_t profileCount) {
    using Kind = TrayCommand::Kind;
    switch (id) {
    case kExitCommand:
        return {Kind::Exit};
    case kStartWithWindowsCommand:
        return {Kind::StartWithWindows};
    case kSaveProfileAsCommand:
        return {Kind::SaveProfileAs};
    case kManageProfilesCommand:
        return {Kind::ManageProfiles};
    case kOpenProfilesFolderCommand:
        return {Kind::OpenProfilesFolder};
    default:
        break;
    }
    const std::size_t listed = std::min<std::size_t>(profileCount, kProfileCommandCount);
    if (id >= kFirstProfileCommand && id - kFirstProfileCommand < listed) {
        return {Kind::UseProfile, id - kFirstProfileCommand};
    }
    return {};
}

} // namespace qor
