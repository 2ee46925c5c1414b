#include "protocol/event_balloons.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace qor;

struct Case {
    std::uint32_t code, value;
    std::u16string text; // empty: nothing shown
    std::u16string_view title;
    unsigned timeout;
};

void check(const StringTable& strings, const SettingsRecord& record, std::uint8_t sensorType,
           const Case& c) {
    const auto b = deviceEventBalloon(c.code, c.value, strings, record, sensorType);
    if (c.text.empty()) {
        EXPECT_FALSE(b.has_value()) << c.code << "/" << c.value;
        return;
    }
    ASSERT_TRUE(b.has_value()) << c.code << "/" << c.value;
    EXPECT_EQ(b->text, c.text) << c.code << "/" << c.value;
    EXPECT_EQ(b->title, c.title) << c.code << "/" << c.value;
    EXPECT_EQ(b->timeoutMs, c.timeout) << c.code << "/" << c.value;
}

TEST(DeviceEventBalloonTest, EnglishTable) {
    SettingsRecord r{};
    r.dpiLevel = {0, 3, 7, 200}; // stage 4 is past the list: its last label
    const StringTable en(Language::English);
    const Case cases[] = {
        {5, 1, u"Switch report rate into 1000HZ", u"Info", 5000},
        {5, 2, u"Switch report rate into 500HZ", u"Info", 5000},
        {5, 4, u"Switch report rate into 250HZ", u"Info", 5000},
        {5, 8, u"Switch report rate into 125HZ", u"Info", 5000},
        {5, 0, u"", u"", 0},
        {5, 3, u"", u"", 0},
        {5, 5, u"", u"", 0},
        {5, 6, u"", u"", 0},
        {5, 7, u"", u"", 0},
        {5, 16, u"", u"", 0},
        {7, 1, u"Switch DPI into the first stage 600", u"Info", 5000},
        {7, 2, u"Switch DPI into the second stage 1200", u"Info", 5000},
        {7, 3, u"Switch DPI into the third stage 3200", u"Info", 5000},
        {7, 4, u"Switch DPI into the fourth stage 3200", u"Info", 5000},
        {7, 0, u"", u"", 0},
        {7, 5, u"", u"", 0},
        {8, 1, u"Switch to key matrix 1", u"Info", 5000},
        {8, 2, u"Switch to key matrix 2", u"Info", 5000},
        {8, 3, u"", u"", 0},
        {8, 0, u"", u"", 0},
        {9, 0, u"", u"", 0},
        {9, 12, u"Switch to macro key12", u"Info", 5000},
        {9, 1, u"Switch to macro key1", u"Info", 5000},
        {9, 255, u"Switch to macro key255", u"Info", 5000},
        {14, 0, u"The system detect the gaming mouse.", u"Info", 100},
        {15, 0, u"The system did not detect the gaming mouse!", u"Warning", 100},
        {14, 1, u"", u"", 0},
        {6, 2, u"", u"", 0},
        {0, 0, u"", u"", 0},
    };
    for (const auto& c : cases) {
        check(en, r, 1, c);
    }
}

TEST(DeviceEventBalloonTest, DpiLabelFollowsSensorTypeAndLanguage) {
    SettingsRecord r{};
    r.dpiLevel = {8, 0, 2, 0};
    const StringTable en(Language::English);
    check(en, r, 0, {7, 1, u"Switch DPI into the first stage 2500", u"Info", 5000});
    check(en, r, 3, {7, 3, u"Switch DPI into the third stage 1200", u"Info", 5000});
    // Unknown sensor types have no labels: the stage text alone, blank included.
    check(en, r, 4, {7, 1, u"Switch DPI into the first stage ", u"Info", 5000});
    const StringTable chs(Language::SimplifiedChinese);
    check(chs, r, 2, {7, 2, u"DPI切换到第二段250", u"Info", 5000});
    check(chs, r, 2, {9, 3, u"切换到宏3", u"Info", 5000});
    const StringTable cht(Language::TraditionalChinese);
    check(cht, r, 2, {8, 2, u"切換到按鍵群組2", u"Info", 5000});
    check(cht, r, 2, {15, 0, u"系統沒有檢測到遊戲滑鼠！", u"Warning", 100});
}

} // namespace
