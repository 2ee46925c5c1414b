#include "window/page_state.h"

namespace qor {

PageDrawing PageState::request(Page page) {
    PageDrawing d;
    if (page == Page::Basic && !basicDrawn_) {
        d.firstDraw = true;
        basicDrawn_ = true;
    }
    if (page == Page::None || page == shown_) {
        return d;
    }
    shown_ = page;
    d.draw = true;
    return d;
}

PageDrawing PageState::redraw() {
    const Page page = shown_ == Page::None ? Page::Basic : shown_;
    shown_ = Page::None;
    PageDrawing d = request(page);
    d.rereadKeyRows = page == Page::Basic;
    return d;
}

} // namespace qor
