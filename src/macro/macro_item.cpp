#include "macro/macro_item.h"

#include "app/paths.h"

#include <climits>
#include <string>

namespace qor {

MacroItemKind macroItemKind(std::u16string_view item) {
    if (isPressItem(item)) {
        return MacroItemKind::Press;
    }
    if (isReleaseItem(item)) {
        return MacroItemKind::Release;
    }
    if (isDelayItem(item)) {
        return MacroItemKind::Delay;
    }
    return MacroItemKind::Other;
}

MacroItem pressItem(std::u16string_view keyName) {
    MacroItem item(keyName);
    item.append(kPressSeparator);
    return item;
}

MacroItem releaseItem(std::u16string_view keyName) {
    MacroItem item(keyName);
    item.append(kReleaseSeparator);
    return item;
}

MacroItem delayItem(int milliseconds) {
    MacroItem item = formatDecimal(milliseconds);
    item.append(kDelaySuffix);
    return item;
}

std::u16string itemKeyName(std::u16string_view item) {
    if (isPressItem(item)) {
        return replaceAll(item, kPressSeparator, u"");
    }
    if (isReleaseItem(item)) {
        return replaceAll(item, kReleaseSeparator, u"");
    }
    return {};
}

int itemDelayMs(std::u16string_view item) {
    return parseDecimal(replaceAll(item, kDelaySuffix, u""));
}

int parseDecimal(std::u16string_view text) {
    std::size_t i = 0;
    auto isSpace = [](char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); };
    while (i < text.size() && isSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i] - u'0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            value = static_cast<long long>(INT_MAX) + 1;
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > INT_MAX) {
        return INT_MAX;
    }
    return static_cast<int>(value);
}

std::u16string formatDecimal(long value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

} // namespace qor
