// The two moments the program talks to the mouse: the short read-back when the mouse becomes
// usable, and the apply sequence that writes every setting and then saves the files.
#pragma once
#include <functional>

#include "protocol/commands.h"
#include "settings/settings_record.h"
#include "settings/settings_state.h"
#include "ui/strings.h"

#include <string>

namespace qor {

// What happens after the mouse has been written: config.bin, then the key-row texts of str.ini.
struct ApplyPersistence {
    std::function<void(const SettingsRecord&)> saveSettings;
    std::function<void()> writeKeyRowTexts;
};

// The groups of settings an apply may fail to bring into the mouse, as the user knows them.
enum SettingGroup : unsigned {
    kKeyGroup = 1u << 0,      // the key matrices
    kDpiGroup = 1u << 1,      // the DPI stages and their colours
    kLightingGroup = 1u << 2, // the lighting effect and its parameters
    kMacroGroup = 1u << 3,    // the macro slots
};

struct ApplyOutcome {
    bool ran = false;          // false: the mouse was not connected, nothing was sent or saved
    unsigned failedGroups = 0; // SettingGroup bits of what did not reach the mouse
    bool stalled = false;      // the mouse stopped answering during the sequence
    bool complete() const { return ran && failedGroups == 0; }
};

// What the user is told of an apply that did not bring everything into the mouse: which groups
// did not, that the settings are saved and will be written again. Empty for a complete apply.
std::u16string applyProblemText(const ApplyOutcome& outcome, const StringTable& strings);

// Reads the sensor settings, takes the sensor type for the DPI tables, pins bit 6 of option 2
// and writes the settings back. When the read's answer is lost, nothing is written back (zeros
// would overwrite the sensor type, rate and options) and the sensor type stays as it was.
void connectReadBack(DeviceCommands& commands);

// Turns the record into the device mirror, sends it in the mouse's fixed order, then saves.
// What the mouse's own answers fill in is sent back only when they arrived: the firmware's
// blocks 0 and 2 silently, the lighting effect and parameter sets, and the DPI stages (whose
// codes depend on the sensor type) only after a sensor read in this connection, each reported
// as failed otherwise. The macro slots read back must equal what was sent. The files are saved
// in every case.
ApplyOutcome applySettings(DeviceCommands& commands, const SettingsRecord& record,
                           const ApplyPersistence& persistence);

// The end of every apply, whatever it sent: whether the mouse now holds what was sent in this
// connection, then the settings saved and the key-row texts written.
void finishApply(DeviceCommands& commands, ApplyOutcome& outcome, const SettingsRecord& record,
                 const ApplyPersistence& persistence);

// OK and Apply: nothing at all while the mouse is not connected; otherwise the apply sequence
// and the snapshot Cancel returns to.
ApplyOutcome confirmSettings(const DeviceLink& link, DeviceCommands& commands, SettingsState& state,
                             const ApplyPersistence& persistence);

} // namespace qor
