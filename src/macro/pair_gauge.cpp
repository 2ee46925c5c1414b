#include "macro/pair_gauge.h"

#include "macro/macro_slot.h"

namespace qor {
namespace {

std::u16string decimal(std::size_t n) {
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + n % 10));
        n /= 10;
    } while (n != 0);
    return digits;
}

} // namespace

std::u16string pairGaugeText(const PairUsage& usage) {
    return decimal(usage.needed) + u"/" + decimal(kMacroPairCapacity);
}

Scene pairGaugeScene(const PairUsage& usage) {
    Scene s;
    s.text(pairGaugeText(usage), kPairGaugeRect, TextAlign::Centre, FontRole::Text,
           usage.fits ? ColourRole::SkinText : ColourRole::Warning);
    return s;
}

} // namespace qor
