// The ANSI code page of the running system, for 8-bit INI files.
#pragma once
#include "base/text_ansi_codec.h"

namespace qor {

class Win32AnsiCodec final : public AnsiCodec {
public:
    std::u16string decode(std::string_view bytes) const override;
    // Uses the code page's best-fit letters, '?' for the rest, as the profile functions do.
    std::string encode(std::u16string_view text) const override;
};

} // namespace qor
