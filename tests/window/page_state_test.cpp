#include "window/page_state.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using qor::Page;

enum class Step { Basic, Advanced, Redraw };

struct Expect {
    bool draw, firstDraw, rereadKeyRows;
    Page shown;
};

void walk(const std::vector<std::pair<Step, Expect>>& steps) {
    qor::PageState pages;
    EXPECT_EQ(pages.shown(), Page::None);
    EXPECT_FALSE(pages.basicDrawn());
    int n = 0;
    for (const auto& [step, e] : steps) {
        SCOPED_TRACE(::testing::Message() << "step " << ++n);
        const qor::PageDrawing d = step == Step::Basic      ? pages.request(Page::Basic)
                                   : step == Step::Advanced ? pages.request(Page::Advanced)
                                                            : pages.redraw();
        EXPECT_EQ(d.draw, e.draw);
        EXPECT_EQ(d.firstDraw, e.firstDraw);
        EXPECT_EQ(d.rereadKeyRows, e.rereadKeyRows);
        EXPECT_EQ(pages.shown(), e.shown);
    }
}

TEST(PageStateTest, StartWithTheMouseThenSwitchPages) {
    walk({
        {Step::Basic, {true, true, false, Page::Basic}},   // start: read-back, first-run texts
        {Step::Basic, {false, false, false, Page::Basic}}, // Previous page on Basic: nothing
        {Step::Advanced, {true, false, false, Page::Advanced}},
        {Step::Advanced, {false, false, false, Page::Advanced}},
        {Step::Basic, {true, false, false, Page::Basic}}, // back: drawn, no second read-back
    });
}

TEST(PageStateTest, RedrawAfterCancelKeepsThePageShown) {
    walk({
        {Step::Basic, {true, true, false, Page::Basic}},
        {Step::Redraw, {true, false, true, Page::Basic}}, // Basic takes str.ini's texts again
        {Step::Advanced, {true, false, false, Page::Advanced}},
        {Step::Redraw, {true, false, false, Page::Advanced}}, // Advanced does not
        {Step::Redraw, {true, false, false, Page::Advanced}},
    });
}

TEST(PageStateTest, MouseConnectedAfterStart) {
    // Nothing drawn at start; a cancel-redraw before any page was drawn gives the Basic page
    // with its first drawing, and only once.
    walk({
        {Step::Redraw, {true, true, true, Page::Basic}},
        {Step::Basic, {false, false, false, Page::Basic}},
        {Step::Redraw, {true, false, true, Page::Basic}},
    });
    qor::PageState pages;
    pages.request(Page::Advanced);
    EXPECT_FALSE(pages.basicDrawn()); // the tray still owes the Basic page its first drawing
    pages.request(Page::Basic);
    EXPECT_TRUE(pages.basicDrawn());
}

} // namespace
