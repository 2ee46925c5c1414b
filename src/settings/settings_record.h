// The flat record of every user setting. config.bin stores it byte for byte after the
// first-run flag, so its layout is a file format: every offset below is binding.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>

namespace qor {

inline constexpr std::size_t kButtonSlots = 12; // 8 real buttons, slots 8..11 spare
inline constexpr std::size_t kMouseButtons = 8;
inline constexpr std::size_t kMacroCount = 12;
inline constexpr std::size_t kMacroSlotBytes = 128;
inline constexpr std::size_t kDpiStages = 4;
inline constexpr std::uint8_t kNoFunction = 15;

using ButtonArray = std::array<std::uint8_t, kButtonSlots>;

// One key set: 16 arrays of 12 entries, entry n describing button n.
struct ButtonTable {
    ButtonArray function;       // 0..14 index into the function list, 15 none
    ButtonArray mediaChoice;    // 0..6
    ButtonArray mediaCode;      // consumer usage of the choice
    ButtonArray windowsChoice;  // 0..10
    ButtonArray windowsCode;    // low byte of the usage
    ButtonArray windowsClass;   // high byte of the usage
    ButtonArray fireChoice;     // 0..60
    ButtonArray fireKey;        // key code of the fire choice
    ButtonArray fireSpeed;      // 5..255, smaller is faster
    ButtonArray fireTimes;      // 0 = until released
    ButtonArray singleKey;      // keyboard code
    ButtonArray comboModifiers; // one modifier bit or 0
    ButtonArray comboKey1;
    ButtonArray comboKey2;
    ButtonArray macroIndex;    // 0..11
    ButtonArray macroLoopMode; // loop mode minus 1, 0..2
};

struct SettingsRecord {
    ButtonTable modeA;
    ButtonTable modeB;
    std::array<std::uint8_t, kMacroCount * kMacroSlotBytes> macroSlots;
    std::array<std::uint8_t, 7> reserved1920;
    std::array<std::uint8_t, kDpiStages> dpiLevel;
    std::array<std::uint8_t, kDpiStages> dpiStageOn;
    std::array<std::uint8_t, kDpiStages * 3> dpiColor; // R, G, B per stage
    std::uint8_t ledMode;
    std::uint8_t ledBrightness;
    std::uint8_t ledBreathSpeed;
    std::uint8_t ledNeonSpeed;
    std::array<std::uint8_t, 3> ledEffect; // modes 1, 2, 3
    std::uint8_t reserved1954;
    std::uint8_t pointerPrecision;
    std::uint8_t scrollOneScreen;
    std::uint8_t mouseSpeedPosition;
    std::uint8_t scrollLinesPosition;
    std::uint8_t doubleClickPosition;
    std::uint8_t activeMode; // 0 Mode A, 1 Mode B
    std::array<std::uint8_t, kButtonSlots> dpiSwitchA;
    std::array<std::uint8_t, kButtonSlots> dpiSwitchB;
    std::array<std::uint8_t, 32> reserved1985;
    std::array<std::uint8_t, 2> lampBits;
    std::array<std::uint8_t, 2> reserved2019;

    // The key set in force and its DPI-switch parameters: any value but 0 means Mode B.
    ButtonTable& activeTable() { return activeMode == 0 ? modeA : modeB; }
    const ButtonTable& activeTable() const { return activeMode == 0 ? modeA : modeB; }
    std::array<std::uint8_t, kButtonSlots>& activeDpiSwitch() {
        return activeMode == 0 ? dpiSwitchA : dpiSwitchB;
    }
    const std::array<std::uint8_t, kButtonSlots>& activeDpiSwitch() const {
        return activeMode == 0 ? dpiSwitchA : dpiSwitchB;
    }
    std::uint8_t* macroSlot(std::size_t index) {
        return macroSlots.data() + index * kMacroSlotBytes;
    }
    const std::uint8_t* macroSlot(std::size_t index) const {
        return macroSlots.data() + index * kMacroSlotBytes;
    }
};

inline constexpr std::size_t kSettingsRecordSize = 2021;
static_assert(sizeof(ButtonTable) == 192);
static_assert(offsetof(ButtonTable, mediaChoice) == 12);
static_assert(offsetof(ButtonTable, windowsClass) == 60);
static_assert(offsetof(ButtonTable, fireSpeed) == 96);
static_assert(offsetof(ButtonTable, singleKey) == 120);
static_assert(offsetof(ButtonTable, macroIndex) == 168);
static_assert(offsetof(ButtonTable, macroLoopMode) == 180);
static_assert(sizeof(SettingsRecord) == kSettingsRecordSize);
static_assert(offsetof(SettingsRecord, modeB) == 192);
static_assert(offsetof(SettingsRecord, macroSlots) == 384);
static_assert(offsetof(SettingsRecord, reserved1920) == 1920);
static_assert(offsetof(SettingsRecord, dpiLevel) == 1927);
static_assert(offsetof(SettingsRecord, dpiStageOn) == 1931);
static_assert(offsetof(SettingsRecord, dpiColor) == 1935);
static_assert(offsetof(SettingsRecord, ledMode) == 1947);
static_assert(offsetof(SettingsRecord, ledBrightness) == 1948);
static_assert(offsetof(SettingsRecord, ledBreathSpeed) == 1949);
static_assert(offsetof(SettingsRecord, ledNeonSpeed) == 1950);
static_assert(offsetof(SettingsRecord, ledEffect) == 1951);
static_assert(offsetof(SettingsRecord, reserved1954) == 1954);
static_assert(offsetof(SettingsRecord, pointerPrecision) == 1955);
static_assert(offsetof(SettingsRecord, scrollOneScreen) == 1956);
static_assert(offsetof(SettingsRecord, mouseSpeedPosition) == 1957);
static_assert(offsetof(SettingsRecord, scrollLinesPosition) == 1958);
static_assert(offsetof(SettingsRecord, doubleClickPosition) == 1959);
static_assert(offsetof(SettingsRecord, activeMode) == 1960);
static_assert(offsetof(SettingsRecord, dpiSwitchA) == 1961);
static_assert(offsetof(SettingsRecord, dpiSwitchB) == 1973);
static_assert(offsetof(SettingsRecord, reserved1985) == 1985);
static_assert(offsetof(SettingsRecord, lampBits) == 2017);
static_assert(offsetof(SettingsRecord, reserved2019) == 2019);
static_assert(alignof(SettingsRecord) == 1, "the record must be packed");
static_assert(std::is_trivially_copyable_v<SettingsRecord>);

// The record as the 2021 bytes that config.bin and the snapshot copy.
inline std::span<std::uint8_t, kSettingsRecordSize> recordBytes(SettingsRecord& record) {
    return std::span<std::uint8_t, kSettingsRecordSize>(reinterpret_cast<std::uint8_t*>(&record),
                                                        kSettingsRecordSize);
}
inline std::span<const std::uint8_t, kSettingsRecordSize>
recordBytes(const SettingsRecord& record) {
    return std::span<const std::uint8_t, kSettingsRecordSize>(
        reinterpret_cast<const std::uint8_t*>(&record), kSettingsRecordSize);
}

} // namespace qor
