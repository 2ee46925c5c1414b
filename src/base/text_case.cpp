#include "base/text_case.h"

namespace qor {

char16_t toUpperBeyondAscii(char16_t c) {
    auto shifted = [c](int by) { return static_cast<char16_t>(c - by); };
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) {
        return shifted(32);
    }
    if (c == 0xFF) {
        return 0x178;
    }
    // Latin Extended-A: pairs of upper (first) and lower case letters, except for two runs
    // where the pairs start one position later.
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) {
        return static_cast<char16_t>(c & ~1u);
    }
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) {
        return (c & 1u) ? c : shifted(1);
    }
    // Greek.
    if ((c >= 0x3B1 && c <= 0x3C1) || (c >= 0x3C3 && c <= 0x3CB)) {
        return shifted(32);
    }
    switch (c) {
    case 0x3C2:
        return 0x3A3;
    case 0x3AC:
        return 0x386;
    case 0x3AD:
    case 0x3AE:
    case 0x3AF:
        return shifted(0x3AD - 0x388);
    case 0x3CC:
        return 0x38C;
    case 0x3CD:
    case 0x3CE:
        return shifted(0x3CD - 0x38E);
    default:
        break;
    }
    // Cyrillic.
    if (c >= 0x430 && c <= 0x44F) {
        return shifted(32);
    }
    if (c >= 0x450 && c <= 0x45F) {
        return shifted(80);
    }
    // Full-width Latin.
    if (c >= 0xFF41 && c <= 0xFF5A) {
        return shifted(32);
    }
    return c;
}

bool equalsIgnoreCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && toUpperSimple(a[i]) != toUpperSimple(b[i])) {
            return false;
        }
    }
    return true;
}

} // namespace qor
