// Which page the main window shows, and what a request to draw a page has to do besides
// drawing it.
#pragma once

namespace qor {

enum class Page { None = 0, Basic = 1, Advanced = 2 };

struct PageDrawing {
    bool draw = false;          // the page was not the one shown: draw it, it is shown now
    bool firstDraw = false;     // the Basic page's first drawing: the connect read-back and,
                                // on a first run, the key-row texts
    bool rereadKeyRows = false; // a redraw of the Basic page takes the key-row texts from
                                // str.ini again first
};

class PageState {
public:
    Page shown() const { return shown_; }
    // The first-draw flag: the Basic page has been drawn once since start.
    bool basicDrawn() const { return basicDrawn_; }

    // A request to draw `page`. A request for the page already shown draws nothing.
    PageDrawing request(Page page);
    // Draws the shown page again from the record (after Cancel and a restore, after a skin
    // change); the Basic page when none was drawn yet.
    PageDrawing redraw();

private:
    Page shown_ = Page::None;
    bool basicDrawn_ = false;
};

} // namespace qor
