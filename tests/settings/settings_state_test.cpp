#include "settings/settings_state.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

namespace {

void fill(qor::SettingsRecord& record, unsigned seed) {
    auto bytes = qor::recordBytes(record);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 13 + seed);
    }
}

std::string asString(const qor::SettingsRecord& record) {
    const auto bytes = qor::recordBytes(record);
    return std::string(bytes.begin(), bytes.end());
}

TEST(SettingsState, CancelBringsBackEveryByteAndAsksForARedraw) {
    qor::SettingsState state;
    EXPECT_EQ(asString(state.working), std::string(qor::kSettingsRecordSize, '\0'));
    EXPECT_EQ(asString(state.appliedRecord), asString(state.working));
    fill(state.working, 1);
    state.takeSnapshot();
    const std::string applied = asString(state.working);
    fill(state.working, 99); // every byte differs, reserved ones and macro slots included
    EXPECT_FALSE(state.redrawOnNextShow());
    state.restoreSnapshot();
    EXPECT_EQ(asString(state.working), applied);
    EXPECT_TRUE(state.redrawOnNextShow());
    EXPECT_TRUE(state.consumeRedrawOnNextShow());
    EXPECT_FALSE(state.consumeRedrawOnNextShow());
}

TEST(SettingsState, RestoreKeyDefaultsTouchesOnlyFunctionsAndDpiSwitchEntries5And6) {
    qor::SettingsRecord record;
    fill(record, 7);
    record.activeMode = 1;
    qor::SettingsRecord expected = record;
    for (qor::ButtonTable* table : {&expected.modeA, &expected.modeB}) {
        const std::uint8_t functions[8] = {0, 1, 2, 3, 4, 6, 6, 15};
        for (std::size_t b = 0; b < 8; ++b) {
            table->function[b] = functions[b];
        }
    }
    for (auto* dpi : {&expected.dpiSwitchA, &expected.dpiSwitchB}) {
        (*dpi)[5] = 1;
        (*dpi)[6] = 2;
    }
    qor::restoreKeyDefaults(record);
    EXPECT_EQ(asString(record), asString(expected));
    EXPECT_EQ(record.activeMode, 1);
}

TEST(SettingsState, RestorePointerDefaultsTouchesOnlyThePointerFields) {
    qor::SettingsRecord record;
    fill(record, 3);
    qor::SettingsRecord expected = record;
    expected.pointerPrecision = 0;
    expected.scrollOneScreen = 0;
    expected.mouseSpeedPosition = 6;
    expected.scrollLinesPosition = 3;
    expected.doubleClickPosition = 6;
    qor::restorePointerDefaults(record);
    EXPECT_EQ(asString(record), asString(expected));
}

} // namespace
