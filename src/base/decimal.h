// Numbers in the program's text files and messages.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace qor {

// Plain decimal conversion as the C library's: leading white space, an optional sign, then the
// leading digits; 0 when there are none. Values beyond the range of int saturate.
int parseDecimal(std::u16string_view text);

// A text that is decimal digits and nothing else (no blanks, no sign), read as parseDecimal
// reads it; nothing for an empty text or one with any other character.
std::optional<int> parseDecimalDigits(std::u16string_view text);

// "%d" / "%ld".
std::u16string formatDecimal(long long value);

} // namespace qor
