#include "dpi_lighting/dpi.h"

#include <algorithm>

namespace qor {
namespace {

constexpr std::array<std::u16string_view, 12> kLabels0{u"250",  u"500",  u"750",  u"1000",
                                                       u"1250", u"1500", u"1750", u"2000",
                                                       u"2500", u"3000", u"3500", u"4000"};
constexpr std::array<std::u16string_view, 8> kLabels1{u"600",  u"800",  u"1000", u"1200",
                                                      u"1600", u"2000", u"2400", u"3200"};
constexpr std::array<std::u16string_view, 8> kLabels2{u"250",  u"500",  u"750",  u"1000",
                                                      u"1250", u"1500", u"2000", u"2500"};
constexpr std::array<std::u16string_view, 8> kLabels3{u"400",  u"800",  u"1200", u"1600",
                                                      u"2000", u"2400", u"2800", u"3200"};

constexpr std::array<std::uint8_t, 12> kCodes0{0x01, 0x02, 0x03, 0x04, 0x05, 0x06,
                                               0x07, 0x08, 0x25, 0x26, 0x27, 0x28};
constexpr std::array<std::uint8_t, 8> kCodes1{0x01, 0x02, 0x03, 0x04, 0x05, 0x23, 0x24, 0x25};
constexpr std::array<std::uint8_t, 8> kCodes2{0x02, 0x04, 0x06, 0x08, 0x0A, 0x26, 0x28, 0x2A};
constexpr std::array<std::uint8_t, 8> kCodes3{0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};

} // namespace

std::size_t stepCount(std::uint8_t activeSensorType) {
    return activeSensorType >= 1 && activeSensorType <= 3 ? 8 : 12;
}

DpiValueList dpiValueList(std::uint8_t activeSensorType) {
    switch (activeSensorType) {
    case 0:
        return {kLabels0};
    case 1:
        return {kLabels1};
    case 2:
        return {kLabels2};
    case 3:
        return {kLabels3};
    default:
        return {};
    }
}

DpiValueList dpiValueListShown(std::uint8_t activeSensorType) {
    return activeSensorType <= 3 ? dpiValueList(activeSensorType) : DpiValueList{kLabels0};
}

DpiCodeTable dpiCodeTable(std::uint8_t activeSensorType) {
    switch (activeSensorType) {
    case 0:
        return {kCodes0};
    case 1:
        return {kCodes1};
    case 2:
        return {kCodes2};
    case 3:
        return {kCodes3};
    default:
        return {};
    }
}

std::u16string_view dpiLabel(std::uint8_t activeSensorType, std::size_t stepIndex) {
    const auto list = dpiValueList(activeSensorType);
    if (list.labels.empty()) {
        return {};
    }
    return list.labels[std::min(stepIndex, list.size() - 1)];
}

std::array<std::uint8_t, kDpiStageCodeBytes> dpiStageCodes(const SettingsRecord& record,
                                                           std::uint8_t activeSensorType) {
    std::array<std::uint8_t, kDpiStageCodeBytes> out{};
    out.fill(kDpiStageOffBit);
    const auto table = dpiCodeTable(activeSensorType);
    const std::size_t steps = stepCount(activeSensorType);
    for (std::size_t k = 0; k < kDpiStages; ++k) {
        const std::size_t step = std::min<std::size_t>(record.dpiLevel[k], steps - 1);
        const std::uint8_t code = table.codes.empty() ? 0 : table.codes[step];
        out[k] = record.dpiStageOn[k] == 1 ? static_cast<std::uint8_t>(code & 0x7F)
                                           : static_cast<std::uint8_t>(code | kDpiStageOffBit);
    }
    return out;
}

std::array<std::uint8_t, kConfigBlock1Size> stageColorBlock(const SettingsRecord& record) {
    std::array<std::uint8_t, kConfigBlock1Size> out{};
    std::copy(record.dpiColor.begin(), record.dpiColor.end(), out.begin());
    return out;
}

bool toggleDpiStage(SettingsRecord& record, std::size_t stage) {
    if (stage >= kDpiStages) {
        return false;
    }
    if (record.dpiStageOn[stage] == 0) {
        record.dpiStageOn[stage] = 1;
        return true;
    }
    bool otherOn = false;
    for (std::size_t k = 0; k < kDpiStages; ++k) {
        otherOn = otherOn || (k != stage && record.dpiStageOn[k] == 1);
    }
    if (!otherOn) {
        return false;
    }
    record.dpiStageOn[stage] = 0;
    return true;
}

bool setDpiStep(SettingsRecord& record, std::size_t stage, std::size_t step,
                std::uint8_t activeSensorType) {
    // Only type 0 has steps 9..12; elsewhere those rows are not DPI clicks.
    const std::size_t steps = activeSensorType == 0 ? 12 : 8;
    if (stage >= kDpiStages || step < 1 || step > steps) {
        return false;
    }
    record.dpiLevel[stage] = static_cast<std::uint8_t>(step - 1);
    return true;
}

bool canPickDpiColor(const SettingsRecord& record, std::size_t stage) {
    return stage < kDpiStages && record.dpiStageOn[stage] == 1;
}

bool pickDpiColor(SettingsRecord& record, std::size_t stage, std::uint8_t red, std::uint8_t green,
                  std::uint8_t blue) {
    if (!canPickDpiColor(record, stage)) {
        return false;
    }
    record.dpiColor[stage * 3 + 0] = red;
    record.dpiColor[stage * 3 + 1] = green;
    record.dpiColor[stage * 3 + 2] = blue;
    return true;
}

} // namespace qor
