// The pointer adapter against the real SystemParametersInfoW: what is written reads back, each
// value through the argument the system expects it in. The original settings are put back.
#include "pointer/win32/pointer_system_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

// Wine 8 takes SPI_SETMOUSESPEED's value from the integer argument instead of the pointer
// argument that Windows documents and reads, so the speed cannot round-trip there.
bool underWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

class PointerSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sys_.getMouse(mouse_));
        ASSERT_TRUE(sys_.getMouseSpeed(speed_));
        ASSERT_TRUE(sys_.getWheelScrollLines(lines_));
        time_ = sys_.getDoubleClickTime();
        ASSERT_NE(time_, 0u);
    }
    void TearDown() override {
        sys_.setMouse(mouse_);
        sys_.setMouseSpeed(speed_);
        sys_.setWheelScrollLines(lines_);
        sys_.setDoubleClickTime(time_);
    }
    qor::Win32PointerSystem sys_;
    qor::MouseParams mouse_{};
    int speed_ = 0;
    int lines_ = 0;
    unsigned time_ = 0;
};

TEST_F(PointerSystemTest, WrittenValuesReadBack) {
    for (int speed : {1, 4, 10, 20}) {
        ASSERT_TRUE(sys_.setMouseSpeed(speed));
        int read = 0;
        ASSERT_TRUE(sys_.getMouseSpeed(read));
        if (!underWine()) {
            EXPECT_EQ(read, speed);
        }
    }
    for (int lines : {1, 3, 11, -1}) {
        ASSERT_TRUE(sys_.setWheelScrollLines(lines));
        int read = 0;
        ASSERT_TRUE(sys_.getWheelScrollLines(read));
        EXPECT_EQ(read, lines); // one screen per notch comes back as -1
    }
    for (const qor::MouseParams& params : {qor::MouseParams{6, 10, 1}, qor::MouseParams{0, 0, 0}}) {
        ASSERT_TRUE(sys_.setMouse(params));
        qor::MouseParams read{};
        ASSERT_TRUE(sys_.getMouse(read));
        EXPECT_EQ(read, params);
    }
    for (unsigned ms : {200u, 550u, 900u}) {
        ASSERT_TRUE(sys_.setDoubleClickTime(ms));
        EXPECT_EQ(sys_.getDoubleClickTime(), ms);
    }
}

TEST_F(PointerSystemTest, OptionsSurviveAnApplyAndARead) {
    class Silent : public qor::MessageSink {
    public:
        void show(std::u16string_view, std::u16string_view) override { ++count; }
        int count = 0;
    } messages;
    qor::SettingsRecord record{};
    record.pointerPrecision = 1;
    record.scrollOneScreen = 0;
    record.mouseSpeedPosition = 4;
    record.scrollLinesPosition = 7;
    record.doubleClickPosition = 3;
    qor::applyPointerOptions(sys_, messages, record);
    qor::SettingsRecord read{};
    qor::readPointerOptions(sys_, messages, read);
    EXPECT_EQ(messages.count, 0);
    EXPECT_EQ(read.pointerPrecision, 1);
    EXPECT_EQ(read.scrollOneScreen, 0);
    if (!underWine()) {
        EXPECT_EQ(read.mouseSpeedPosition, 4);
    }
    EXPECT_EQ(read.scrollLinesPosition, 7);
    EXPECT_EQ(read.doubleClickPosition, 3);
}

} // namespace
