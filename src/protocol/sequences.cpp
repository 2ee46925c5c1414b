#include "protocol/sequences.h"

#include <algorithm>

namespace qor {

void connectReadBack(DeviceCommands& commands) {
    DeviceMirror& mirror = commands.mirror();
    commands.readSensorSettings();
    mirror.activeSensorType = mirror.sensorType;
    mirror.option2 = static_cast<std::uint8_t>(mirror.option2 | kOption2PinnedBit);
    commands.writeSensorSettings();
}

void applySettings(DeviceCommands& commands, const SettingsRecord& record,
                   const ApplyPersistence& persistence) {
    DeviceMirror& mirror = commands.mirror();

    // First what the program does not own, so it can go back unchanged.
    commands.readLightingEffect();
    commands.readLightingParams();
    commands.readConfigBlocks();

    mirror.lighting = lightingForApply(record, mirror.lighting);
    mirror.configBlock1 = stageColorBlock(record);

    commands.writeConfigBlocks();
    commands.writeLightingParams();
    commands.writeLightingEffect();

    mirror.dpiStageCount = kDpiStageCount;
    mirror.dpiStageCodes = dpiStageCodes(record, mirror.activeSensorType);
    commands.writeDpiStages();

    mirror.keyMatrices[0] = KeyMatrix{};
    std::copy(record.macroSlots.begin(), record.macroSlots.end(), mirror.macroSlotBytes.begin());
    commands.writeMacroSlots();
    // Read back into the mirror only; nothing compares it and the record keeps its slots.
    commands.readMacroSlots();

    mirror.keyMatrices[0] = buildKeyMatrix1(record);
    commands.writeKeyMatrices();

    if (persistence.saveSettings) {
        persistence.saveSettings(record);
    }
    if (persistence.writeKeyRowTexts) {
        persistence.writeKeyRowTexts();
    }
}

bool confirmSettings(const DeviceLink& link, DeviceCommands& commands, SettingsState& state,
                     const ApplyPersistence& persistence) {
    if (!link.connected) {
        return false;
    }
    applySettings(commands, state.working, persistence);
    state.takeSnapshot();
    return true;
}

} // namespace qor
