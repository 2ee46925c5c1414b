#include "settings/settings_state.h"

#include <array>

namespace qor {

namespace {

// Left, right, middle, forward, backward, DPI switch twice, nothing.
constexpr std::array<std::uint8_t, kMouseButtons> kDefaultFunctions{0, 1, 2, 3,
                                                                    4, 6, 6, kNoFunction};
constexpr std::uint8_t kDpiPlus = 1;
constexpr std::uint8_t kDpiMinus = 2;

void setDefaultKeys(ButtonTable& table, std::array<std::uint8_t, kButtonSlots>& dpiSwitch) {
    for (std::size_t button = 0; button < kMouseButtons; ++button) {
        table.function[button] = kDefaultFunctions[button];
    }
    dpiSwitch[5] = kDpiPlus;
    dpiSwitch[6] = kDpiMinus;
}

} // namespace

void restoreKeyDefaults(SettingsRecord& record) {
    setDefaultKeys(record.modeA, record.dpiSwitchA);
    setDefaultKeys(record.modeB, record.dpiSwitchB);
}

void restorePointerDefaults(SettingsRecord& record) {
    record.pointerPrecision = 0;
    record.scrollOneScreen = 0;
    record.mouseSpeedPosition = 6;
    record.scrollLinesPosition = 3;
    record.doubleClickPosition = 6;
}

} // namespace qor
