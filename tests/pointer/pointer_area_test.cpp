// The pointer area driven as a user would: presses on steps and boxes, "Default", the page's
// drawings; checked on the record, the system's calls, the messages and the scene.
#include "pointer/pointer_area.h"

#include "support/fake_pointer_system.h"
#include "support/scene_probe.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace qor;
using qor::test::FakePointerSystem;
using qor::test::Messages;

class Area : public ::testing::Test {
protected:
    PointerArea area{record, strings, messages, &system};

    // The slider images in drawing order, 'L' lit and 'd' dark, one string per slider.
    std::vector<std::string> sliders() const {
        std::vector<std::string> rows(kPointerSliders);
        for (const auto& d : area.scene(false).drawings) {
            const auto* image = std::get_if<SceneImage>(&d);
            if (image == nullptr) {
                continue;
            }
            for (std::size_t r = 0; r < kPointerSliders; ++r) {
                if (intersects(image->area, pointerSliderRect(PointerSlider(r)))) {
                    rows[r] += image->name == u"/slider-light.png" ? 'L' : 'd';
                }
            }
        }
        return rows;
    }
    bool drawn(std::u16string_view name, const Rect& at, bool hovered = false) const {
        return test::drawsImage(area.scene(hovered), name, at);
    }

    SettingsRecord record{};
    StringTable strings{Language::English};
    Messages messages;
    FakePointerSystem system;
};

TEST_F(Area, PressOnAStepSetsThatPosition) {
    struct Case {
        int x, y;
        std::uint8_t speed, lines, doubleClick;
        bool taken;
    };
    const Case cases[] = {
        {52, 200, 1, 0, 0, true},   // top-left corner of step 1
        {75, 210, 1, 0, 0, true},   // bottom-right pixel of step 1
        {76, 205, 2, 0, 0, true},   // the next pixel is step 2
        {315, 205, 11, 0, 0, true}, // rightmost pixel of step 11
        {316, 205, 0, 0, 0, false}, // past the slider
        {64, 355, 0, 1, 0, true},   // scrolling step 1: one line per notch
        {184, 505, 0, 0, 6, true},  // double-click step 6
        {64, 211, 0, 0, 0, false},  // just under the row
        {51, 205, 0, 0, 0, false},  // just left of it
    };
    for (const Case& c : cases) {
        record = SettingsRecord{};
        EXPECT_EQ(area.pressStep(c.x, c.y), c.taken) << c.x << "," << c.y;
        EXPECT_EQ(record.mouseSpeedPosition, c.speed) << c.x << "," << c.y;
        EXPECT_EQ(record.scrollLinesPosition, c.lines) << c.x << "," << c.y;
        EXPECT_EQ(record.doubleClickPosition, c.doubleClick) << c.x << "," << c.y;
    }
    EXPECT_TRUE(system.calls.empty()) << "a slider press leaves the system alone";
}

TEST_F(Area, StepsDrawnFromTheStoredPositionsClampedToTheSlider) {
    struct Case {
        std::uint8_t speed, lines, doubleClick;
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        {6, 3, 6, {"LLLLLLddddd", "LLLdddddddd", "LLLLLLddddd"}},
        {1, 0, 11, {"Ldddddddddd", "ddddddddddd", "LLLLLLLLLLL"}},
        // A wheel of 20 lines and a double-click time under 200 ms read from the system.
        {0, 20, 12, {"ddddddddddd", "LLLLLLLLLLL", "LLLLLLLLLLL"}},
        {255, 11, 200, {"LLLLLLLLLLL", "LLLLLLLLLLL", "LLLLLLLLLLL"}},
    };
    for (const Case& c : cases) {
        record.mouseSpeedPosition = c.speed;
        record.scrollLinesPosition = c.lines;
        record.doubleClickPosition = c.doubleClick;
        EXPECT_EQ(sliders(), c.rows)
            << int(c.speed) << "/" << int(c.lines) << "/" << int(c.doubleClick);
        EXPECT_EQ(record.scrollLinesPosition, c.lines) << "the record keeps its bytes";
        EXPECT_EQ(record.doubleClickPosition, c.doubleClick) << "the record keeps its bytes";
    }
}

TEST_F(Area, CheckBoxesToggleAndShowTheirState) {
    EXPECT_TRUE(drawn(u"/Pane.png", kPrecisionBoxRect));
    area.togglePrecision();
    EXPECT_EQ(record.pointerPrecision, 1);
    EXPECT_TRUE(drawn(u"/PaneMakingTick.png", kPrecisionBoxRect));
    EXPECT_TRUE(drawn(u"/Pane.png", kOneScreenBoxRect));
    area.toggleOneScreen();
    area.toggleOneScreen();
    EXPECT_EQ(record.scrollOneScreen, 0);
    // A damaged file's 7 counts as on, and a press turns it off.
    record.scrollOneScreen = 7;
    EXPECT_TRUE(drawn(u"/PaneMakingTick.png", kOneScreenBoxRect));
    area.toggleOneScreen();
    EXPECT_EQ(record.scrollOneScreen, 0);
    EXPECT_TRUE(system.calls.empty());
}

TEST_F(Area, TheFirstDrawingReadsTheSystemOnce) {
    struct Case {
        const char* what;
        void (*setUp)(FakePointerSystem&);
        std::uint8_t precision, oneScreen, speed, lines, doubleClick;
        std::vector<std::u16string> shown;
    };
    const Case cases[] = {
        {"all read", [](FakePointerSystem&) {}, 1, 0, 6, 3, 6, {}},
        {"one screen, fast clicks",
         [](FakePointerSystem& s) {
             s.lines = -1;
             s.doubleClick = 130;
             s.speed = 3;
         },
         1,
         1,
         2,
         0,
         12,
         {}},
        {"every read fails",
         [](FakePointerSystem& s) {
             s.failGetMouse = s.failGetSpeed = s.failGetLines = true;
             s.doubleClick = 0;
         },
         0,
         0,
         1,
         0,
         13,
         {u"Warning: GETMOUSESPEED failed.", u"Warning: GETWHEELSCROLLLINES failed.",
          u"Warning: GetDoubleClickTime failed."}},
    };
    for (const Case& c : cases) {
        system = FakePointerSystem{};
        c.setUp(system);
        messages.shown.clear();
        record = SettingsRecord{};
        PointerArea fresh{record, strings, messages, &system};
        EXPECT_FALSE(fresh.systemRead());
        fresh.pageDrawn();
        EXPECT_TRUE(fresh.systemRead());
        EXPECT_EQ(record.pointerPrecision, c.precision) << c.what;
        EXPECT_EQ(record.scrollOneScreen, c.oneScreen) << c.what;
        EXPECT_EQ(record.mouseSpeedPosition, c.speed) << c.what;
        EXPECT_EQ(record.scrollLinesPosition, c.lines) << c.what;
        EXPECT_EQ(record.doubleClickPosition, c.doubleClick) << c.what;
        EXPECT_EQ(messages.shown, c.shown) << c.what;

        // Later drawings show the record as the user left it.
        record.mouseSpeedPosition = 9;
        const auto calls = system.calls.size();
        fresh.pageDrawn();
        EXPECT_EQ(system.calls.size(), calls) << c.what;
        EXPECT_EQ(record.mouseSpeedPosition, 9) << c.what;
    }
}

TEST_F(Area, DefaultWritesTheSystemDefaultsAndResetsThePositions) {
    struct Case {
        const char* what;
        void (*setUp)(FakePointerSystem&);
        std::vector<std::u16string> shown;
    };
    const Case cases[] = {
        {"all written", [](FakePointerSystem&) {}, {}},
        {"every write fails",
         [](FakePointerSystem& s) {
             s.failSetMouse = s.failSetSpeed = s.failSetLines = s.failSetTime = true;
         },
         {u"Warning: SETMOUSE failed.", u"Warning: SETMOUSESPEED failed.",
          u"Warning: SETWHEELSCROLLLINES failed.", u"Warning: SPI_SETDOUBLECLICKTIME failed."}},
        {"the speed fails, the rest still written",
         [](FakePointerSystem& s) { s.failSetSpeed = true; },
         {u"Warning: SETMOUSESPEED failed."}},
    };
    for (const Case& c : cases) {
        system = FakePointerSystem{};
        system.mouse = {6, 10, 1};
        system.speed = 20;
        system.lines = -1;
        system.doubleClick = 900;
        c.setUp(system);
        messages.shown.clear();
        record = SettingsRecord{};
        record.pointerPrecision = 1;
        record.scrollOneScreen = 1;
        record.mouseSpeedPosition = 11;
        record.scrollLinesPosition = 20;
        record.doubleClickPosition = 1;
        area.pressDefault();
        EXPECT_EQ(system.writes(),
                  (std::vector<std::string>{"setMouse 0,0,0", "setMouseSpeed 10",
                                            "setWheelScrollLines 3", "setDoubleClickTime 500"}))
            << c.what;
        EXPECT_EQ(messages.shown, c.shown) << c.what;
        EXPECT_EQ(sliders(),
                  (std::vector<std::string>{"LLLLLLddddd", "LLLdddddddd", "LLLLLLddddd"}))
            << c.what;
        EXPECT_EQ(record.pointerPrecision, 0) << c.what;
        EXPECT_EQ(record.scrollOneScreen, 0) << c.what;
    }
}

TEST(PointerAreaWithoutSystem, EditsTheRecordAlone) {
    SettingsRecord record{};
    record.mouseSpeedPosition = 2;
    StringTable strings{Language::English};
    Messages messages;
    PointerArea area{record, strings, messages, nullptr};
    area.pageDrawn();
    EXPECT_EQ(record.mouseSpeedPosition, 2) << "nothing to read";
    area.pressDefault();
    EXPECT_EQ(record.mouseSpeedPosition, 6);
    EXPECT_EQ(record.doubleClickPosition, 6);
    EXPECT_TRUE(messages.shown.empty());
}

} // namespace
