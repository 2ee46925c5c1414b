#include "dpi_lighting/dpi.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace qor;

SettingsRecord stages(std::array<std::uint8_t, 4> level, std::array<std::uint8_t, 4> on) {
    SettingsRecord r{};
    r.dpiLevel = level;
    r.dpiStageOn = on;
    return r;
}

TEST(DpiTest, ListsPerSensorType) {
    struct Case {
        std::uint8_t type;
        std::size_t steps;
        std::u16string first, last;
        std::size_t labels; // of the list a balloon names
    };
    const Case cases[] = {
        {0, 12, u"250", u"4000", 12}, {1, 8, u"600", u"3200", 8}, {2, 8, u"250", u"2500", 8},
        {3, 8, u"400", u"3200", 8},   {4, 12, u"", u"", 0},       {255, 12, u"", u"", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(stepCount(c.type), c.steps) << int(c.type);
        EXPECT_EQ(dpiValueList(c.type).size(), c.labels) << int(c.type);
        EXPECT_EQ(dpiLabel(c.type, 0), c.first) << int(c.type);
        EXPECT_EQ(dpiLabel(c.type, c.steps - 1), c.last) << int(c.type);
        // A level past the list names the last step.
        EXPECT_EQ(dpiLabel(c.type, 200), c.last) << int(c.type);
        // The page always has labels for every step it draws.
        EXPECT_EQ(dpiValueListShown(c.type).size(), c.steps) << int(c.type);
    }
    EXPECT_EQ(dpiLabel(0, 8), u"2500");
    EXPECT_EQ(dpiLabel(1, 4), u"1600");
}

TEST(DpiTest, StagePayloadPerSensorType) {
    struct Case {
        const char* what;
        std::uint8_t type;
        std::array<std::uint8_t, 4> level, on;
        std::array<std::uint8_t, 8> payload;
    };
    const Case cases[] = {
        {"type 1 level 4 on/off",
         1,
         {4, 4, 0, 7},
         {1, 0, 1, 1},
         {0x05, 0x85, 0x01, 0x25, 0x80, 0x80, 0x80, 0x80}},
        {"type 0 step 9",
         0,
         {8, 8, 11, 0},
         {1, 0, 1, 1},
         {0x25, 0xA5, 0x28, 0x01, 0x80, 0x80, 0x80, 0x80}},
        {"type 2", 2, {0, 4, 5, 7}, {1, 1, 1, 1}, {0x02, 0x0A, 0x26, 0x2A, 0x80, 0x80, 0x80, 0x80}},
        {"type 3", 3, {0, 1, 6, 7}, {1, 1, 0, 1}, {0x01, 0x02, 0x87, 0x08, 0x80, 0x80, 0x80, 0x80}},
        {"all off",
         0,
         {0, 0, 0, 0},
         {0, 0, 0, 0},
         {0x81, 0x81, 0x81, 0x81, 0x80, 0x80, 0x80, 0x80}},
        {"unknown type sends code 0",
         7,
         {0, 3, 9, 11},
         {1, 0, 1, 1},
         {0x00, 0x80, 0x00, 0x00, 0x80, 0x80, 0x80, 0x80}},
        {"level past an 8-step list uses its last step",
         1,
         {8, 255, 12, 0},
         {1, 1, 0, 1},
         {0x25, 0x25, 0xA5, 0x01, 0x80, 0x80, 0x80, 0x80}},
        {"level past the 12-step list",
         0,
         {12, 255, 0, 0},
         {1, 1, 1, 1},
         {0x28, 0x28, 0x01, 0x01, 0x80, 0x80, 0x80, 0x80}},
        {"only 1 means on",
         0,
         {0, 0, 0, 0},
         {2, 255, 1, 0},
         {0x81, 0x81, 0x01, 0x81, 0x80, 0x80, 0x80, 0x80}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(dpiStageCodes(stages(c.level, c.on), c.type), c.payload) << c.what;
    }
}

TEST(DpiTest, ColourBlockIsTwelveColourBytesThenZeros) {
    SettingsRecord r{};
    for (std::size_t i = 0; i < 12; ++i) {
        r.dpiColor[i] = static_cast<std::uint8_t>(0xF0 + i);
    }
    const auto block = stageColorBlock(r);
    for (std::size_t i = 0; i < 24; ++i) {
        EXPECT_EQ(block[i], i < 12 ? 0xF0 + i : 0) << i;
    }
}

TEST(DpiTest, ToggleKeepsOneStageOn) {
    struct Case {
        std::array<std::uint8_t, 4> before;
        std::size_t stage;
        bool changed;
        std::array<std::uint8_t, 4> after;
    };
    const Case cases[] = {
        {{0, 0, 0, 0}, 2, true, {0, 0, 1, 0}},  // all off: any box switches on
        {{1, 0, 0, 0}, 0, false, {1, 0, 0, 0}}, // the only stage on stays on
        {{1, 1, 0, 0}, 0, true, {0, 1, 0, 0}},  {{1, 1, 1, 1}, 3, true, {1, 1, 1, 0}},
        {{1, 2, 0, 0}, 0, false, {1, 2, 0, 0}}, // a stray 2 is not "on"
        {{1, 1, 0, 0}, 4, false, {1, 1, 0, 0}}, // no such stage
    };
    for (const auto& c : cases) {
        SettingsRecord r = stages({0, 0, 0, 0}, c.before);
        EXPECT_EQ(toggleDpiStage(r, c.stage), c.changed);
        EXPECT_EQ(r.dpiStageOn, c.after);
    }
}

TEST(DpiTest, SetStepOnlyWithinTheTypesList) {
    struct Case {
        std::uint8_t type;
        std::size_t step;
        bool changed;
        std::uint8_t level;
    };
    const Case cases[] = {
        {0, 1, true, 0},  {0, 12, true, 11}, {0, 13, false, 7}, {2, 8, true, 7},  {2, 10, false, 7},
        {1, 9, false, 7}, {5, 9, false, 7},  {5, 8, true, 7},   {0, 0, false, 7},
    };
    for (const auto& c : cases) {
        SettingsRecord r = stages({7, 7, 7, 7}, {0, 0, 0, 0});
        EXPECT_EQ(setDpiStep(r, 1, c.step, c.type), c.changed) << int(c.type) << " " << c.step;
        EXPECT_EQ(r.dpiLevel[1], c.level) << int(c.type) << " " << c.step;
        EXPECT_EQ(r.dpiLevel[0], 7);
    }
}

TEST(DpiTest, ColourOnlyForAStageThatIsOn) {
    SettingsRecord r = stages({0, 0, 0, 0}, {1, 0, 0, 0});
    EXPECT_FALSE(pickDpiColor(r, 1, 0xFF, 0, 0));
    EXPECT_EQ(r.dpiColor, decltype(r.dpiColor){});
    EXPECT_TRUE(pickDpiColor(r, 0, 0xFF, 0x00, 0x00));
    EXPECT_EQ(r.dpiColor[0], 0xFF);
    EXPECT_EQ(r.dpiColor[1], 0);
    EXPECT_EQ(r.dpiColor[2], 0);
    r.dpiStageOn[3] = 1;
    EXPECT_TRUE(pickDpiColor(r, 3, 1, 2, 3));
    EXPECT_EQ(r.dpiColor[9], 1);
    EXPECT_EQ(r.dpiColor[11], 3);
    EXPECT_FALSE(pickDpiColor(r, 4, 1, 2, 3));
}

} // namespace
