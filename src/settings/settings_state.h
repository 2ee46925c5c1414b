// The two records the main window owns for the whole run, the first-run flag beside them, and
// the two actions that put fixed values into the working record.
#pragma once
#include "settings/settings_record.h"

#include <cstdint>

namespace qor {

class SettingsState {
public:
    // The record the pages edit, config.bin holds and the apply sequence reads.
    SettingsRecord working{};
    // A byte copy of `working` as it was loaded or last applied; Cancel brings it back.
    SettingsRecord appliedRecord{};
    // First byte of config.bin as read at start; 0 until a file the program saved was loaded.
    std::uint8_t firstRunFlag = 0;

    // After load and after every confirm or apply.
    void takeSnapshot() { appliedRecord = working; }
    // Cancel: every byte back, reserved bytes and macro slots included; the page shown is
    // drawn again the next time the window comes back from the tray.
    void restoreSnapshot() {
        working = appliedRecord;
        redrawOnNextShow_ = true;
    }
    bool redrawOnNextShow() const { return redrawOnNextShow_; }
    // Settings that came from elsewhere (a profile) replaced the record: the page shown is drawn
    // again the next time the window is shown.
    void requestRedrawOnNextShow() { redrawOnNextShow_ = true; }
    // The tray handler reads and clears the flag in one step.
    bool consumeRedrawOnNextShow() {
        const bool was = redrawOnNextShow_;
        redrawOnNextShow_ = false;
        return was;
    }

private:
    bool redrawOnNextShow_ = false;
};

// Key page "Default": the default functions of buttons 0..7 and the DPI +/- parameters of
// buttons 5 and 6 in both key sets. Every other array and `activeMode` stay as they are.
void restoreKeyDefaults(SettingsRecord& record);

// Pointer page "Default".
void restorePointerDefaults(SettingsRecord& record);

} // namespace qor
