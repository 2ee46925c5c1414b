#include "ui/frame_areas.h"

namespace qor {

std::optional<FrameArea> frameAreaAt(int x, int y) {
    for (const auto& e : kFrameAreas) {
        if (e.area != FrameArea::PageTitle && e.rect.contains(x, y)) {
            return e.area;
        }
    }
    return std::nullopt;
}

} // namespace qor
