// The main window's answer to a device event: the tray balloon it shows, if any.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/message_sink.h"
#include "settings/settings_record.h"
#include "ui/strings.h"

namespace qor {

struct Balloon {
    std::u16string text;
    std::u16string_view title;
    unsigned timeoutMs = 0;
    bool operator==(const Balloon&) const = default;
};

inline constexpr std::u16string_view kInfoTitle = u"Info";
inline constexpr unsigned kEventBalloonMs = 5000;
inline constexpr unsigned kDetectionBalloonMs = 100;

// Code and value as the window message carries them (wParam, lParam). DPI stage events name the
// stage's DPI label from `record` and the sensor type of the last connect. Anything not known
// shows nothing.
std::optional<Balloon> deviceEventBalloon(std::uint32_t code, std::uint32_t value,
                                          const StringTable& strings, const SettingsRecord& record,
                                          std::uint8_t activeSensorType);

} // namespace qor
