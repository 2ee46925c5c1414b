// Plain text replacement, as the program uses it for paths and macro item texts: nothing is
// parsed, every occurrence is replaced.
#pragma once
#include <string>
#include <string_view>

namespace qor {

// Every occurrence of `from` (case-sensitive, left to right, not overlapping) becomes `to`.
std::u16string replaceAll(std::u16string_view text, std::u16string_view from,
                          std::u16string_view to);

} // namespace qor
