#include "settings/settings_record.h"

#include <gtest/gtest.h>

namespace {

TEST(SettingsRecordTest, ActiveTableFollowsActiveMode) {
    qor::SettingsRecord r{};
    r.modeA.function[0] = 1;
    r.modeB.function[0] = 2;
    EXPECT_EQ(r.activeTable().function[0], 1);
    r.activeMode = 1;
    EXPECT_EQ(r.activeTable().function[0], 2);
    EXPECT_EQ(&r.activeDpiSwitch(), &r.dpiSwitchB);
}

} // namespace
