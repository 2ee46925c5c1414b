// Numbers in the program's text files and messages.
#pragma once
#include <string>
#include <string_view>

namespace qor {

// Plain decimal conversion as the C library's: leading white space, an optional sign, then the
// leading digits; 0 when there are none. Values beyond the range of int saturate.
int parseDecimal(std::u16string_view text);

// "%d" / "%ld".
std::u16string formatDecimal(long long value);

} // namespace qor
