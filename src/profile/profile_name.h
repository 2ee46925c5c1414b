// Profile names: the name is the file name (NAME.ini), so it must be one Windows takes as a file
// name in a folder, the same on every system the profile travels to.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace qor {

inline constexpr std::size_t kProfileNameMaxChars = 31; // UTF-16 units
inline constexpr std::u16string_view kProfileExtension = u".ini";
inline constexpr std::u16string_view kProfilesFolderName = u"Profiles";

enum class ProfileNameProblem {
    none,
    empty,
    tooLong,
    badCharacter,      // a path separator, a control character or one of < > : " | ? *
    reservedName,      // CON, PRN, AUX, NUL, COM1..COM9, LPT1..LPT9, with any extension
    trailingDotOrSpace // Windows drops them, so the file would get another name
};

ProfileNameProblem checkProfileName(std::u16string_view name);

// Names compare as Windows compares file names: without regard to case.
bool sameProfileName(std::u16string_view a, std::u16string_view b);
// The name folded for lookups (upper case, one UTF-16 unit at a time).
std::u16string foldedName(std::u16string_view name);

// The profile of a file name in the Profiles folder: "Game.ini" gives "Game" (any case of the
// extension); anything else, or a name the program would refuse, gives nothing.
std::u16string profileNameOfFile(std::u16string_view fileName);

// The Profiles folder beside config.bin: its path with the file name replaced. Either separator
// is taken; a path without one gives the folder in the current one.
std::u16string profilesFolderBeside(std::u16string_view configPath);

} // namespace qor
