#include "protocol/sequences.h"

#include <algorithm>

namespace qor {

void connectReadBack(DeviceCommands& commands) {
    commands.link().beginSequence();
    DeviceImage& image = commands.image();
    commands.readSensorSettings();
    image.activeSensorType = image.sensorType;
    image.option2 = static_cast<std::uint8_t>(image.option2 | kOption2PinnedBit);
    commands.writeSensorSettings();
}

void applySettings(DeviceCommands& commands, const SettingsRecord& record,
                   const ApplyPersistence& persistence) {
    commands.link().beginSequence();
    DeviceImage& image = commands.image();

    // First what the program does not own, so it can go back unchanged.
    commands.readLightingEffect();
    commands.readLightingParams();
    commands.readConfigBlocks();

    image.lighting = lightingForApply(record, image.lighting);
    image.configBlock1 = stageColorBlock(record);

    commands.writeConfigBlocks();
    commands.writeLightingParams();
    commands.writeLightingEffect();

    image.dpiStageCount = kDpiStageCount;
    image.dpiStageCodes = dpiStageCodes(record, image.activeSensorType);
    commands.writeDpiStages();

    image.keyMatrices[0] = KeyMatrix{};
    std::copy(record.macroSlots.begin(), record.macroSlots.end(), image.macroImage.begin());
    commands.writeMacroSlots();
    // Read back into the image only; nothing compares it and the record keeps its slots.
    commands.readMacroSlots();

    image.keyMatrices[0] = buildKeyMatrix1(record);
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
