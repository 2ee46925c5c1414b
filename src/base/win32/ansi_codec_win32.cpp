#include "base/win32/ansi_codec_win32.h"

#include <climits>
#include <windows.h>

namespace qor {

namespace {

// The conversions take int lengths; INI files never come near that, but a caller's text might.
constexpr std::size_t kChunk = INT_MAX / 4;

} // namespace

std::u16string Win32AnsiCodec::decode(std::string_view bytes) const {
    std::u16string out;
    while (!bytes.empty()) {
        // Never split a double-byte character: cut after a line break, or take the rest.
        std::size_t take = bytes.size();
        if (take > kChunk) {
            take = bytes.find_last_of("\r\n", kChunk);
            take = take == std::string_view::npos ? kChunk : take + 1;
        }
        int in = static_cast<int>(take);
        int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), in, nullptr, 0);
        if (n > 0) {
            std::size_t at = out.size();
            out.resize(at + static_cast<std::size_t>(n));
            MultiByteToWideChar(CP_ACP, 0, bytes.data(), in, reinterpret_cast<wchar_t*>(&out[at]),
                                n);
        }
        bytes.remove_prefix(take);
    }
    return out;
}

std::string Win32AnsiCodec::encode(std::u16string_view text) const {
    std::string out;
    while (!text.empty()) {
        std::size_t take = text.size() > kChunk ? kChunk : text.size();
        if (take < text.size() && text[take - 1] >= 0xD800 && text[take - 1] < 0xDC00) {
            --take; // keep a surrogate pair together
        }
        auto src = reinterpret_cast<const wchar_t*>(text.data());
        int in = static_cast<int>(take);
        int n = WideCharToMultiByte(CP_ACP, 0, src, in, nullptr, 0, nullptr, nullptr);
        if (n > 0) {
            std::size_t at = out.size();
            out.resize(at + static_cast<std::size_t>(n));
            WideCharToMultiByte(CP_ACP, 0, src, in, &out[at], n, nullptr, nullptr);
        }
        text.remove_prefix(take);
    }
    return out;
}

} // namespace qor
