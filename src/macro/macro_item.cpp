#include "macro/macro_item.h"

#include "base/text_replace.h"

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

} // namespace qor
