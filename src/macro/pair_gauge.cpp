#include "macro/pair_gauge.h"

#include "base/decimal.h"
#include "macro/macro_slot.h"

namespace qor {

std::u16string pairGaugeText(const PairUsage& usage) {
    return formatDecimal(static_cast<long long>(usage.needed)) + u"/" +
           formatDecimal(static_cast<long long>(kMacroPairCapacity));
}

Scene pairGaugeScene(const PairUsage& usage) {
    Scene s;
    s.text(pairGaugeText(usage), kPairGaugeRect, TextAlign::Centre, FontRole::Text,
           usage.fits ? ColourRole::SkinText : ColourRole::Warning);
    return s;
}

} // namespace qor
