#include "profile/profile_name.h"

#include "base/text_case.h"

#include <algorithm>
#include <array>

namespace qor {

namespace {

constexpr std::u16string_view kRefused = u"<>:\"/\\|?*";

bool reservedDeviceName(std::u16string_view name) {
    // Windows takes the part before the first dot, blanks at its end dropped, as the device.
    std::u16string_view base = name.substr(0, std::min(name.find(u'.'), name.size()));
    while (!base.empty() && base.back() == u' ') {
        base.remove_suffix(1);
    }
    static constexpr std::array<std::u16string_view, 4> kPlain = {u"CON", u"PRN", u"AUX", u"NUL"};
    if (std::any_of(kPlain.begin(), kPlain.end(),
                    [&](std::u16string_view r) { return equalsIgnoreCase(base, r); })) {
        return true;
    }
    if (base.size() != 4 || base[3] < u'1' || base[3] > u'9') {
        return false;
    }
    const std::u16string_view stem = base.substr(0, 3);
    return equalsIgnoreCase(stem, u"COM") || equalsIgnoreCase(stem, u"LPT");
}

} // namespace

ProfileNameProblem checkProfileName(std::u16string_view name) {
    if (name.empty()) {
        return ProfileNameProblem::empty;
    }
    if (name.size() > kProfileNameMaxChars) {
        return ProfileNameProblem::tooLong;
    }
    if (std::any_of(name.begin(), name.end(), [](char16_t c) {
            return c < 0x20 || c == 0x7F || kRefused.find(c) != kRefused.npos;
        })) {
        return ProfileNameProblem::badCharacter;
    }
    if (name.back() == u'.' || name.back() == u' ') {
        return ProfileNameProblem::trailingDotOrSpace;
    }
    if (reservedDeviceName(name)) {
        return ProfileNameProblem::reservedName;
    }
    return ProfileNameProblem::none;
}

bool sameProfileName(std::u16string_view a, std::u16string_view b) {
    return equalsIgnoreCase(a, b);
}

std::u16string foldedName(std::u16string_view name) {
    std::u16string out(name);
    std::transform(out.begin(), out.end(), out.begin(), toUpperSimple);
    return out;
}

std::u16string profileNameOfFile(std::u16string_view fileName) {
    if (fileName.size() <= kProfileExtension.size() ||
        !equalsIgnoreCase(fileName.substr(fileName.size() - kProfileExtension.size()),
                          kProfileExtension)) {
        return {};
    }
    const std::u16string_view name = fileName.substr(0, fileName.size() - kProfileExtension.size());
    return checkProfileName(name) == ProfileNameProblem::none ? std::u16string(name)
                                                              : std::u16string();
}

std::u16string profilesFolderBeside(std::u16string_view configPath) {
    const std::size_t slash = configPath.find_last_of(u"/\\");
    if (slash == configPath.npos) {
        return std::u16string(kProfilesFolderName);
    }
    return std::u16string(configPath.substr(0, slash + 1)) + std::u16string(kProfilesFolderName);
}

} // namespace qor
