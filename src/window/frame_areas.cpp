#include "window/frame_areas.h"

namespace qor {

std::optional<FrameArea> frameAreaAt(int x, int y) {
    for (const auto& e : kFrameAreas) {
        if (e.area != FrameArea::PageTitle && e.rect.contains(x, y)) {
            return e.area;
        }
    }
    return std::nullopt;
}

FrameClick frameClickAt(int x, int y) {
    const auto area = frameAreaAt(x, y);
    if (!area) {
        return FrameClick::MoveWindow;
    }
    switch (*area) {
    case FrameArea::Minimise:
        return FrameClick::HideWindow;
    case FrameArea::Close:
        return FrameClick::EndProgram;
    default:
        return FrameClick::AreaAction;
    }
}

} // namespace qor
