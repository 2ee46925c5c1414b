// DPI stages: the value lists and device codes chosen by the mouse's sensor type, the stage
// payload of command 0x11, the stage colours of configuration block 1, and the record changes
// of the DPI area's clicks.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "settings/settings_record.h"

namespace qor {

inline constexpr std::size_t kMaxDpiSteps = 12;
inline constexpr std::size_t kDpiStageCodeBytes = 8;
inline constexpr std::uint8_t kDpiStageCount = 4;
inline constexpr std::uint8_t kDpiStageOffBit = 0x80;
inline constexpr std::size_t kDpiColorBytes = kDpiStages * 3;
inline constexpr std::size_t kConfigBlock1Size = 24;

// The labels of one sensor type's list, step 1 (lowest) first.
struct DpiValueList {
    std::span<const std::u16string_view> labels;
    std::size_t size() const { return labels.size(); }
};

// Code bytes of one sensor type's list, step 1 first; empty for an unknown type.
struct DpiCodeTable {
    std::span<const std::uint8_t> codes;
};

// Sensor types 1..3 have 8 steps, every other type 12.
std::size_t stepCount(std::uint8_t activeSensorType);
// The list the page shows: types other than 0..3 show the list of type 0.
DpiValueList dpiValueListShown(std::uint8_t activeSensorType);
// The list whose labels a balloon names: empty for a type other than 0..3.
DpiValueList dpiValueList(std::uint8_t activeSensorType);
DpiCodeTable dpiCodeTable(std::uint8_t activeSensorType);

// Label of a 0-based step of the type's list (empty for an unknown type); a step past the end
// of the list names the last step.
std::u16string_view dpiLabel(std::uint8_t activeSensorType, std::size_t stepIndex);

// The 8 bytes of command 0x11: one code per stage, bit 7 set when the stage is off, then four
// 0x80 bytes for the mouse's stages 5..8, which are always off. A level past the end of the
// list uses the last step.
std::array<std::uint8_t, kDpiStageCodeBytes> dpiStageCodes(const SettingsRecord& record,
                                                           std::uint8_t activeSensorType);

// Configuration block 1: the 12 colour bytes, stage by stage (R, G, B), then 12 zero bytes.
std::array<std::uint8_t, kConfigBlock1Size> stageColorBlock(const SettingsRecord& record);

// Clicks of the DPI area; `stage` counts from 0. Each returns whether the record changed.
// Switching off the only stage that is on is refused.
bool toggleDpiStage(SettingsRecord& record, std::size_t stage);
// `step` counts from 1. Steps past the type's list are not DPI clicks and change nothing.
bool setDpiStep(SettingsRecord& record, std::size_t stage, std::size_t step,
                std::uint8_t activeSensorType);
// Only a stage that is on takes a colour.
bool canPickDpiColor(const SettingsRecord& record, std::size_t stage);
bool pickDpiColor(SettingsRecord& record, std::size_t stage, std::uint8_t red, std::uint8_t green,
                  std::uint8_t blue);

} // namespace qor
