// The DPI area of the Basic page as a presentation model: per stage an on/off box, a column of
// 8 or 12 steps and a colour box, the value labels of the sensor type's list, and what a click
// on each does to the record. The colour dialog is reached through a port.
#pragma once
#include "base/window_ids.h"
#include "settings/settings_record.h"
#include "ui/scene.h"
#include "ui/strings.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

namespace qor {

// Layout; stages count from 0, steps from 1.
Rect dpiStepRect(std::size_t stage, std::size_t step);
Rect dpiOnOffRect(std::size_t stage);
Rect dpiColourRect(std::size_t stage);
// The column of a stage from its top step to its on/off box: what a change of the stage
// redraws.
Rect dpiColumnRect(std::size_t stage);

class DpiArea {
public:
    DpiArea(SettingsRecord& record, const std::uint8_t& activeSensorType,
            const StringTable& strings, ColourPicker pickColour);

    // The clicks the dispatcher routes here; each returns whether the press was the area's.
    bool pressOnOff(int x, int y);
    bool pressColour(int x, int y);
    // Steps the sensor type's list does not have are not DPI clicks.
    bool pressStep(int x, int y);

    Scene scene() const;

private:
    SettingsRecord& record_;
    const std::uint8_t& sensorType_;
    const StringTable& strings_;
    ColourPicker pickColour_;
};

} // namespace qor
