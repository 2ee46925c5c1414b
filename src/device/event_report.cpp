#include "device/event_report.h"

namespace qor {

std::optional<DeviceEvent> decodeEventReport(std::span<const std::uint8_t> report) {
    if (report.size() < 4 || report[0] != kEventReportId) {
        return std::nullopt;
    }
    switch (report[1]) {
    case 5:
    case 7:
    case 8:
    case 9:
        return DeviceEvent{static_cast<DeviceEventCode>(report[1]), report[3]};
    default:
        return std::nullopt;
    }
}

} // namespace qor
