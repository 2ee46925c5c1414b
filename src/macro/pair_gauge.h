// The capacity gauge beside the "Key Press Sequence" list: "N/63", the pairs the sequence takes
// in its slot, in the warning colour once the mouse would cut the macro, so that the user sees
// it before Confirm.
#pragma once
#include "macro/macro_editor.h"
#include "ui/scene.h"

#include <string>

namespace qor {

// In the record option column, right under "Stop Recording", level with the sequence list.
inline constexpr Rect kPairGaugeRect{735, 300, 860, 316};

std::u16string pairGaugeText(const PairUsage& usage);
Scene pairGaugeScene(const PairUsage& usage);

} // namespace qor
