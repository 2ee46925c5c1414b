#include "ui/scene_window_model.h"

namespace qor {
namespace {

constexpr int kWheelNotch = 120;
constexpr int kLinesPerNotch = 3;

} // namespace

ListScroll listScrollForWheel(int wheelDelta) {
    // A fine-grained wheel sends less than a notch at a time; each message still counts as
    // one, as the list would otherwise not move at all.
    const int notches = wheelDelta / kWheelNotch;
    const int count = notches == 0 ? 1 : (notches < 0 ? -notches : notches);
    return ListScroll{wheelDelta <= 0, count * kLinesPerNotch};
}

} // namespace qor
