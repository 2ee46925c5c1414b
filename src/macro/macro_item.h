// The text lines of a macro. Every line of the "Key Press Sequence" list is one INI value of
// record.ini, stored exactly as shown: "A   Dn", "L-Button   Up", "50 ms".
#pragma once
#include "base/decimal.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace qor {

using MacroItem = std::u16string;

inline constexpr std::u16string_view kPressSeparator = u"   Dn";
inline constexpr std::u16string_view kReleaseSeparator = u"   Up";
inline constexpr std::u16string_view kDelayMark = u"ms";
inline constexpr std::u16string_view kDelaySuffix = u" ms";
inline constexpr std::u16string_view kDefaultDelayItem = u"50 ms";
inline constexpr int kDefaultDelayMs = 50;
// Names come from a 32-character buffer with its terminating zero.
inline constexpr std::size_t kMacroNameMaxChars = 31;

enum class MacroItemKind { Press, Release, Delay, Other };

// A line containing "   Dn" is a press even when it also contains "   Up".
inline bool isPressItem(std::u16string_view item) {
    return item.find(kPressSeparator) != std::u16string_view::npos;
}
inline bool isReleaseItem(std::u16string_view item) {
    return !isPressItem(item) && item.find(kReleaseSeparator) != std::u16string_view::npos;
}
// The editor calls every line containing "ms" a delay, whatever else it holds.
inline bool isDelayItem(std::u16string_view item) {
    return item.find(kDelayMark) != std::u16string_view::npos;
}
MacroItemKind macroItemKind(std::u16string_view item);

MacroItem pressItem(std::u16string_view keyName);
MacroItem releaseItem(std::u16string_view keyName);
// "%d ms".
MacroItem delayItem(int milliseconds);

// The key name of a press or release line (its separator removed); empty for other lines.
std::u16string itemKeyName(std::u16string_view item);
// The pause a line stands for when it follows an event: " ms" removed, read as a decimal number;
// 0 for a line that is not a number.
int itemDelayMs(std::u16string_view item);

} // namespace qor
