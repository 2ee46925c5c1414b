// Profile switches send only what changed. Within one connection the device mirror is what the
// mouse was last sent; a switch builds the mirror it wants from the new settings and sends the
// commands whose payload differs, in the mouse's fixed order. OK and Apply keep the full
// sequence (sequences.h).
#pragma once
#include "protocol/commands.h"
#include "protocol/device_mirror.h"
#include "protocol/sequences.h"
#include "settings/settings_record.h"

#include <array>

namespace qor {

// Which writes a change needs; everything false sends nothing.
struct WritePlan {
    std::array<bool, kConfigBlockCount> configBlocks{}; // 0x10
    std::array<bool, 2> lightingParams{};               // 0x07
    bool lightingEffect = false;                        // 0x0D
    bool dpiStages = false;                             // 0x11
    std::array<bool, kMacroCount> macroSlots{};         // 0x13, each read back with 0x93
    std::array<bool, kKeyMatrixCount> keyMatrices{};    // 0x12
    bool empty() const;
    bool operator==(const WritePlan&) const = default;
};

// What the mirror `wanted` needs sent over what the mouse was sent (`sent`).
WritePlan planWrites(const DeviceMirror& sent, const DeviceMirror& wanted);

// The mirror an apply of `record` sends, over what the mouse was last sent: the settings the
// program owns from the record, the rest as they are.
DeviceMirror mirrorForRecord(const DeviceMirror& sent, const SettingsRecord& record);

// A profile switch: the full apply sequence on the first apply of a connection and after any
// that did not go through; otherwise only the writes planWrites() names, without the reads that
// fill the mirror, and the written macro slots read back. The files are saved in every case.
ApplyOutcome applyChangedSettings(DeviceCommands& commands, const SettingsRecord& record,
                                  const ApplyPersistence& persistence);

} // namespace qor
