// Case-insensitive comparison of names the way Windows compares INI section and key names:
// both sides are mapped to upper case one UTF-16 unit at a time (ASCII, Latin-1, Latin
// Extended-A, Greek, Cyrillic and full-width Latin letters; everything else compares as is).
#pragma once
#include <string_view>

namespace qor {

char16_t toUpperSimple(char16_t c);
bool equalsIgnoreCase(std::u16string_view a, std::u16string_view b);

} // namespace qor
