// UTF-8 <-> UTF-16 for text that meets a terminal, a log or a UTF-8 file.
#pragma once
#include <string>
#include <string_view>

namespace qor {

// Invalid or truncated sequences become U+FFFD; code points above U+FFFF become surrogate pairs.
std::u16string utf8ToUtf16(std::string_view bytes);
// Unpaired surrogates become U+FFFD.
std::string utf16ToUtf8(std::u16string_view text);

} // namespace qor
