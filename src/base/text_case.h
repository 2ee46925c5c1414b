// Case-insensitive comparison of names the way Windows compares INI section and key names:
// both sides are mapped to upper case one UTF-16 unit at a time (ASCII, Latin-1, Latin
// Extended-A, Greek, Cyrillic and full-width Latin letters; everything else compares as is).
#pragma once
#include <string_view>

namespace qor {

// Letters beyond ASCII.
char16_t toUpperBeyondAscii(char16_t c);

// Inline for ASCII, which nearly every name is.
inline char16_t toUpperSimple(char16_t c) {
    if (c < 0x80) {
        return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c;
    }
    return toUpperBeyondAscii(c);
}

bool equalsIgnoreCase(std::u16string_view a, std::u16string_view b);

} // namespace qor
