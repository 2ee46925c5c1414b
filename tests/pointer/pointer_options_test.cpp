#include "pointer/pointer_options.h"

#include "support/fake_pointer_system.h"

#include <gtest/gtest.h>

#include <functional>

#include <string>
#include <vector>

namespace {

using qor::MouseParams;
using qor::test::FakePointerSystem;
using qor::test::Messages;

struct Positions {
    int precision, oneScreen, speed, lines, doubleClick;
    bool operator==(const Positions&) const = default;
};
Positions positions(const qor::SettingsRecord& r) {
    return {r.pointerPrecision, r.scrollOneScreen, r.mouseSpeedPosition, r.scrollLinesPosition,
            r.doubleClickPosition};
}
std::ostream& operator<<(std::ostream& os, const Positions& p) {
    return os << p.precision << " " << p.oneScreen << " " << p.speed << " " << p.lines << " "
              << p.doubleClick;
}

TEST(PointerOptionsTest, ReadingFromTheSystem) {
    struct Case {
        MouseParams mouse;
        int speed, lines;
        unsigned time;
        Positions expected;
    };
    const Case cases[] = {
        {{6, 10, 1}, 10, 3, 500, {1, 0, 6, 3, 6}},   // Windows' defaults
        {{0, 0, 0}, 1, -1, 900, {0, 1, 1, 0, 1}},    // one screen per notch
        {{6, 10, 0}, 3, 11, 200, {0, 0, 2, 11, 11}}, // odd speed reads as the lower even one
        {{0, 0, 2}, 20, 0, 130, {1, 0, 11, 0, 12}},  // far below 200 ms gives position 12
        {{0, 0, 0}, 7, 40, 550, {0, 0, 4, 40, 6}},   // many lines kept as they are
    };
    for (const auto& c : cases) {
        FakePointerSystem sys;
        sys.mouse = c.mouse;
        sys.speed = c.speed;
        sys.lines = c.lines;
        sys.doubleClick = c.time;
        Messages messages;
        qor::SettingsRecord record{};
        qor::readPointerOptions(sys, messages, record);
        EXPECT_EQ(positions(record), c.expected) << c.speed << " " << c.lines << " " << c.time;
        EXPECT_TRUE(messages.shown.empty());
    }
}

TEST(PointerOptionsTest, FailedReadsAreReportedAndCountAsZero) {
    FakePointerSystem sys;
    sys.failGetMouse = sys.failGetSpeed = sys.failGetLines = true;
    sys.doubleClick = 0;
    Messages messages;
    qor::SettingsRecord record{};
    record.pointerPrecision = 1;
    qor::readPointerOptions(sys, messages, record);
    EXPECT_EQ(positions(record), (Positions{0, 0, 1, 0, 13}));
    EXPECT_EQ(messages.shown,
              (std::vector<std::u16string>{u"Warning: GETMOUSESPEED failed.",
                                           u"Warning: GETWHEELSCROLLLINES failed.",
                                           u"Warning: GetDoubleClickTime failed."}));
}

// Only what differs from what the system reports is written (each write is stored in the
// profile and broadcast to every window); an option the system cannot report is written.
TEST(PointerOptionsTest, ApplyWritesWhatDiffersInOrder) {
    qor::SettingsRecord record{};
    record.pointerPrecision = 1;
    record.mouseSpeedPosition = 6;
    record.scrollOneScreen = 1; // wins over the slider
    record.scrollLinesPosition = 5;
    record.doubleClickPosition = 6;
    const struct {
        const char* name;
        std::function<void(FakePointerSystem&)> system;
        std::vector<std::string> writes;
    } cases[] = {
        {"Windows' defaults",
         [](FakePointerSystem& s) {
             s.mouse = {0, 0, 0};
         },
         {"setMouse 6,10,1", "setWheelScrollLines -1", "setDoubleClickTime 550"}},
        {"already as the record",
         [](FakePointerSystem& s) {
             s.lines = -1;
             s.doubleClick = 550;
         },
         {}},
        {"speed differs",
         [](FakePointerSystem& s) {
             s.speed = 3;
             s.lines = -1;
             s.doubleClick = 550;
         },
         {"setMouseSpeed 10"}},
        {"nothing can be read",
         [](FakePointerSystem& s) {
             s.failGetMouse = s.failGetSpeed = s.failGetLines = true;
             s.doubleClick = 0;
         },
         {"setMouse 6,10,1", "setMouseSpeed 10", "setWheelScrollLines -1",
          "setDoubleClickTime 550"}},
    };
    for (const auto& c : cases) {
        FakePointerSystem sys;
        c.system(sys);
        Messages messages;
        qor::applyPointerOptions(sys, messages, record);
        EXPECT_EQ(sys.writes(), c.writes) << c.name;
        EXPECT_TRUE(messages.shown.empty()) << c.name;
    }
}

TEST(PointerOptionsTest, EveryFailedWriteIsReportedAndTheNextStillWritten) {
    FakePointerSystem sys;
    sys.failSetMouse = sys.failSetSpeed = sys.failSetLines = sys.failSetTime = true;
    Messages messages;
    qor::SettingsRecord record{};
    record.mouseSpeedPosition = 6;
    record.doubleClickPosition = 6;
    sys.speed = 3;
    qor::applyPointerOptions(sys, messages, record);
    EXPECT_EQ(sys.writes().size(), 4u);
    EXPECT_EQ(messages.shown, (std::vector<std::u16string>{
                                  u"Warning: SETMOUSE failed.", u"Warning: SETMOUSESPEED failed.",
                                  u"Warning: SETWHEELSCROLLLINES failed.",
                                  u"Warning: SPI_SETDOUBLECLICKTIME failed."}));
}

TEST(PointerOptionsTest, DefaultsGoToTheSystemAndTheRecord) {
    FakePointerSystem sys;
    sys.mouse = {6, 10, 1};
    sys.speed = 20;
    sys.lines = -1;
    sys.doubleClick = 900;
    Messages messages;
    qor::SettingsRecord record{};
    record.pointerPrecision = 1;
    record.scrollOneScreen = 1;
    record.mouseSpeedPosition = 11;
    record.scrollLinesPosition = 0;
    record.doubleClickPosition = 1;
    qor::restorePointerOptionDefaults(sys, messages, record);
    EXPECT_EQ(sys.writes(),
              (std::vector<std::string>{"setMouse 0,0,0", "setMouseSpeed 10",
                                        "setWheelScrollLines 3", "setDoubleClickTime 500"}));
    EXPECT_EQ(positions(record), (Positions{0, 0, 6, 3, 6}));
    // position 6 stands for 550 ms: the next apply writes that, not the 500 ms of Windows
    sys.calls.clear();
    qor::applyPointerOptions(sys, messages, record);
    EXPECT_EQ(sys.calls.back(), "setDoubleClickTime 550");
}

} // namespace
