#include "window/frame_areas.h"

#include <gtest/gtest.h>

namespace {

using qor::FrameArea;

TEST(FrameAreasTest, PointsFindTheirButton) {
    struct Case {
        int x, y;
        std::optional<FrameArea> area;
    };
    const Case cases[] = {
        {513, 609, FrameArea::Ok},    // top-left corner is inside
        {617, 620, FrameArea::Ok},    // the pixel OK and Apply share goes to OK
        {618, 620, FrameArea::Apply}, // right edge of OK is outside it
        {721, 620, FrameArea::Apply}, // shared with Cancel: Apply comes first
        {825, 629, FrameArea::Cancel},
        {826, 620, std::nullopt},
        {513, 630, std::nullopt}, // bottom edge is outside
        {701, 5, FrameArea::Skins},
        {718, 22, FrameArea::Skins},
        {719, 22, std::nullopt},
        {825, 5, FrameArea::Minimise},
        {850, 5, FrameArea::Close},
        {867, 22, FrameArea::Close},
        {868, 22, std::nullopt},
        {20, 55, FrameArea::PreviousPage},
        {59, 94, FrameArea::PreviousPage},
        {60, 60, std::nullopt},
        {70, 55, FrameArea::NextPage},
        {300, 640, FrameArea::WebLink},
        {200, 70, std::nullopt}, // the page title is drawn, never clicked
        {0, 0, std::nullopt},
        {400, 400, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(qor::frameAreaAt(c.x, c.y), c.area) << c.x << "," << c.y;
    }
}

TEST(FrameAreasTest, WhatAPressOnTheFrameDoes) {
    using qor::FrameClick;
    struct Case {
        int x, y;
        FrameClick click;
    };
    const Case cases[] = {
        {825, 5, FrameClick::HideWindow},   {842, 22, FrameClick::HideWindow},
        {850, 5, FrameClick::EndProgram},   {867, 22, FrameClick::EndProgram},
        {843, 10, FrameClick::MoveWindow}, // between Minimise and Close
        {868, 10, FrameClick::MoveWindow},  {400, 400, FrameClick::MoveWindow},
        {200, 70, FrameClick::MoveWindow}, // the title is no button
        {513, 609, FrameClick::AreaAction}, {710, 10, FrameClick::AreaAction},
        {30, 60, FrameClick::AreaAction},   {300, 640, FrameClick::AreaAction},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(qor::frameClickAt(c.x, c.y), c.click) << c.x << "," << c.y;
    }
}

TEST(FrameAreasTest, ButtonsHaveTheSizesOfTheirImages) {
    // Text buttons share one 105 x 21 image; the small window buttons are 18 x 18; the page
    // buttons 40 x 40.
    for (auto a : {FrameArea::Ok, FrameArea::Apply, FrameArea::Cancel}) {
        EXPECT_EQ(qor::frameRect(a).width(), 105);
        EXPECT_EQ(qor::frameRect(a).height(), 21);
    }
    for (auto a : {FrameArea::Skins, FrameArea::Minimise, FrameArea::Close}) {
        EXPECT_EQ(qor::frameRect(a).width(), 18);
        EXPECT_EQ(qor::frameRect(a).height(), 18);
    }
    for (auto a : {FrameArea::PreviousPage, FrameArea::NextPage}) {
        EXPECT_EQ(qor::frameRect(a).width(), 40);
        EXPECT_EQ(qor::frameRect(a).height(), 40);
    }
}

} // namespace
