// The core's UTF-16 text and the system's wide characters are the same units: these only change
// the type. UTF-8 and the ANSI code page go through base/text_utf8.h and ansi_codec_win32.h.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

namespace qor {

// A terminated string's buffer, for a call that takes a wide string.
inline const wchar_t* wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

// A copy of any text, terminated.
inline std::wstring wideString(std::u16string_view text) {
    return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

// The system's text as the core's: up to the terminator, or `length` units.
inline std::u16string_view u16View(const wchar_t* text) {
    return std::u16string_view(reinterpret_cast<const char16_t*>(text));
}
inline std::u16string u16String(std::wstring_view text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text.data()), text.size());
}

} // namespace qor
