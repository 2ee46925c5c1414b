#include "pointer/pointer_mapping.h"

#include <gtest/gtest.h>

namespace {

using namespace qor;

TEST(PointerMappingTest, MouseSpeed) {
    // speed read -> position -> speed written
    const int cases[][3] = {{10, 6, 10},  {1, 1, 1},    {3, 2, 2}, {2, 2, 2},
                            {20, 11, 20}, {19, 10, 18}, {0, 1, 1}};
    for (const auto& c : cases) {
        EXPECT_EQ(positionOfMouseSpeed(c[0]), c[1]) << c[0];
        EXPECT_EQ(mouseSpeedOfPosition(static_cast<std::uint8_t>(c[1])), c[2]) << c[0];
    }
    // Positions outside the slider never write a speed outside 1..20.
    EXPECT_EQ(mouseSpeedOfPosition(0), 1);
    EXPECT_EQ(mouseSpeedOfPosition(200), 20);
}

TEST(PointerMappingTest, DoubleClick) {
    const unsigned cases[][3] = {{900, 1, 900},  {500, 6, 550},  {550, 6, 550},
                                 {200, 11, 200}, {130, 12, 200}, {0, 13, 200}};
    for (const auto& c : cases) {
        EXPECT_EQ(positionOfDoubleClickTime(c[0]), c[1]) << c[0];
        EXPECT_EQ(doubleClickTimeOfPosition(static_cast<std::uint8_t>(c[1])), c[2]) << c[0];
    }
    // Above 900 ms the unsigned computation wraps; the position is kept to 8 bits.
    const std::uint8_t wrapped = positionOfDoubleClickTime(1000);
    EXPECT_EQ(wrapped, static_cast<std::uint8_t>((0xFFFFFFFFu - 99u) / 70u + 1u));
    EXPECT_GE(doubleClickTimeOfPosition(wrapped), 200u);
    EXPECT_LE(doubleClickTimeOfPosition(wrapped), 900u);
    EXPECT_EQ(doubleClickTimeOfPosition(0), 900u);
}

TEST(PointerMappingTest, WheelAndPrecision) {
    EXPECT_EQ(wheelLinesOf(1, 7), -1);
    EXPECT_EQ(wheelLinesOf(0, 1), 1);
    EXPECT_EQ(wheelLinesOf(0, 0), 0);
    EXPECT_EQ(wheelLinesOf(0, 40), 40);
    const auto page = wheelPositionOfLines(-1);
    EXPECT_EQ(page.scrollOneScreen, 1);
    EXPECT_EQ(page.scrollLinesPosition, 0);
    const auto many = wheelPositionOfLines(40);
    EXPECT_EQ(many.scrollOneScreen, 0);
    EXPECT_EQ(many.scrollLinesPosition, 40);

    EXPECT_EQ(mouseParamsOfPrecision(1), (MouseParams{6, 10, 1}));
    EXPECT_EQ(mouseParamsOfPrecision(0), (MouseParams{0, 0, 0}));
    EXPECT_EQ(precisionOfMouseParams(true, {6, 10, 1}), 1);
    EXPECT_EQ(precisionOfMouseParams(true, {6, 10, 0}), 0);
    EXPECT_EQ(precisionOfMouseParams(false, {6, 10, 1}), 0);
}

} // namespace
