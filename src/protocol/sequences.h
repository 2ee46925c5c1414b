// The two moments the program talks to the mouse: the short read-back when the mouse becomes
// usable, and the apply sequence that writes every setting and then saves the files.
#pragma once
#include <functional>

#include "protocol/commands.h"
#include "settings/settings_record.h"
#include "settings/settings_state.h"

namespace qor {

// What happens after the mouse has been written: config.bin, then the key-row texts of str.ini.
struct ApplyPersistence {
    std::function<void(const SettingsRecord&)> saveSettings;
    std::function<void()> writeKeyRowTexts;
};

// Reads the sensor settings, takes the sensor type for the DPI tables, pins bit 6 of option 2
// and writes the settings back.
void connectReadBack(DeviceCommands& commands);

// Turns the record into the device mirror, sends it in the mouse's fixed order, then saves.
// Runs to the end whatever the mouse answers.
void applySettings(DeviceCommands& commands, const SettingsRecord& record,
                   const ApplyPersistence& persistence);

// OK and Apply: nothing at all while the mouse is not connected; otherwise the apply sequence
// and the snapshot Cancel returns to. Returns whether it ran.
bool confirmSettings(const DeviceLink& link, DeviceCommands& commands, SettingsState& state,
                     const ApplyPersistence& persistence);

} // namespace qor
