// Events that reach the main window: the mouse's own switches and the link's detection outcome.
#pragma once
#include <cstdint>
#include <optional>
#include <span>

namespace qor {

// wParam of the window's device-event message (WM_USER+2).
enum class DeviceEventCode : std::uint32_t {
    reportRate = 5,
    dpiStage = 7,
    keyMatrix = 8,
    macro = 9,
    mouseDetected = 14,
    mouseNotDetected = 15,
};

struct DeviceEvent {
    DeviceEventCode code{};
    std::uint32_t value = 0;
    friend bool operator==(const DeviceEvent&, const DeviceEvent&) = default;
};

// The main window's handler, reached synchronously: when deliver() returns, the window has
// shown its notification. Called from the window's thread and from the listener thread.
class DeviceEventSink {
public:
    virtual ~DeviceEventSink() = default;
    virtual void deliver(DeviceEventCode code, std::uint32_t value) = 0;
};

inline constexpr std::uint8_t kEventReportId = 6;

// An event input report: report ID 6 in byte 0, code 5, 7, 8 or 9 in byte 1, value in byte 3.
// Anything else (other IDs, other codes, short reports) is no event.
std::optional<DeviceEvent> decodeEventReport(std::span<const std::uint8_t> report);

} // namespace qor
