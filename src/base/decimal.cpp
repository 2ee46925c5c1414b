#include "base/decimal.h"

#include <algorithm>
#include <climits>

namespace qor {

int parseDecimal(std::u16string_view text) {
    std::size_t i = 0;
    const auto isSpace = [](char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); };
    while (i < text.size() && isSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    // One past INT_MAX is kept so that INT_MIN still comes out exact.
    constexpr long long kLimit = static_cast<long long>(INT_MAX) + 1;
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = std::min(value * 10 + (text[i] - u'0'), kLimit);
    }
    if (negative) {
        return static_cast<int>(-value);
    }
    return static_cast<int>(std::min(value, static_cast<long long>(INT_MAX)));
}

std::optional<int> parseDecimalDigits(std::u16string_view text) {
    const auto isDigit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
    if (text.empty() || !std::all_of(text.begin(), text.end(), isDigit)) {
        return std::nullopt;
    }
    return parseDecimal(text);
}

std::u16string formatDecimal(long long value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

} // namespace qor
