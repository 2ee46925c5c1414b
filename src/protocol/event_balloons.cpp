#include "protocol/event_balloons.h"

#include "base/decimal.h"
#include "dpi_lighting/dpi.h"

namespace qor {
namespace {

Balloon info(std::u16string text) {
    return {std::move(text), kInfoTitle, kEventBalloonMs};
}

} // namespace

std::optional<Balloon> deviceEventBalloon(std::uint32_t code, std::uint32_t value,
                                          const StringTable& strings, const SettingsRecord& record,
                                          std::uint8_t activeSensorType) {
    auto text = [&](StringId id) { return std::u16string(strings.text(id)); };
    switch (code) {
    case 5: // report rate
        switch (value) {
        case 1:
            return info(text(StringId::ReportRate1000));
        case 2:
            return info(text(StringId::ReportRate500));
        case 4:
            return info(text(StringId::ReportRate250));
        case 8:
            return info(text(StringId::ReportRate125));
        default:
            return std::nullopt;
        }
    case 7: // DPI stage 1..4
        if (value < 1 || value > kDpiStages) {
            return std::nullopt;
        }
        return info(
            text(static_cast<StringId>(static_cast<std::size_t>(StringId::DpiStage1) + value - 1)) +
            std::u16string(dpiLabel(activeSensorType, record.dpiLevel[value - 1])));
    case 8: // key matrix
        if (value == 1) {
            return info(text(StringId::KeyMatrix1));
        }
        if (value == 2) {
            return info(text(StringId::KeyMatrix2));
        }
        return std::nullopt;
    case 9: // macro
        if (value == 0) {
            return std::nullopt;
        }
        return info(text(StringId::SwitchToMacro) + formatDecimal(value));
    case 14:
        if (value != 0) {
            return std::nullopt;
        }
        return Balloon{text(StringId::MouseDetected), kInfoTitle, kDetectionBalloonMs};
    case 15:
        if (value != 0) {
            return std::nullopt;
        }
        return Balloon{text(StringId::MouseNotDetected), kWarningCaption, kDetectionBalloonMs};
    default:
        return std::nullopt;
    }
}

} // namespace qor
