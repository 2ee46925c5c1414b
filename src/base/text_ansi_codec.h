// 8-bit text of INI files: the ANSI code page on Windows, Windows-1252 elsewhere.
#pragma once
#include <string>
#include <string_view>

namespace qor {

// Converts between the bytes of an 8-bit text file and UTF-16.
class AnsiCodec {
public:
    virtual ~AnsiCodec() = default;
    virtual std::u16string decode(std::string_view bytes) const = 0;
    // Characters the code page lacks become '?' (or a best-fit letter where the platform has one).
    virtual std::string encode(std::u16string_view text) const = 0;
};

// Windows-1252, the ANSI code page of Western Windows systems. The five bytes that code page
// leaves undefined (81, 8D, 8F, 90, 9D) map to U+0081 etc., as Windows maps them, so every byte
// round-trips.
class Cp1252Codec final : public AnsiCodec {
public:
    std::u16string decode(std::string_view bytes) const override;
    std::string encode(std::u16string_view text) const override;
};

// The portable default: one shared Cp1252Codec.
const AnsiCodec& defaultAnsiCodec();

} // namespace qor
