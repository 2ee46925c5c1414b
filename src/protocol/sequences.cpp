#include "protocol/sequences.h"

#include <algorithm>

namespace qor {

std::u16string applyProblemText(const ApplyOutcome& outcome, const StringTable& strings) {
    if (!outcome.ran) {
        return std::u16string(strings.text(ProgramText::MouseNotConnected));
    }
    if (outcome.complete()) {
        return {};
    }
    static constexpr std::pair<unsigned, ProgramText> kGroups[] = {
        {kKeyGroup, ProgramText::KeysGroup},
        {kDpiGroup, ProgramText::DpiGroup},
        {kLightingGroup, ProgramText::LightingGroup},
        {kMacroGroup, ProgramText::MacrosGroup},
    };
    std::u16string text(strings.text(ProgramText::ApplyIncomplete));
    bool first = true;
    for (const auto& [group, name] : kGroups) {
        if ((outcome.failedGroups & group) == 0) {
            continue;
        }
        if (!first) {
            text += strings.text(ProgramText::GroupSeparator);
        }
        text += strings.text(name);
        first = false;
    }
    text += strings.text(ProgramText::ApplyIncompleteEnd);
    return text;
}

void connectReadBack(DeviceCommands& commands) {
    commands.link().beginSequence();
    DeviceMirror& mirror = commands.mirror();
    mirror.sentThisConnection = false;
    mirror.sensorReadThisConnection = commands.readSensorSettings();
    if (!mirror.sensorReadThisConnection) {
        return;
    }
    mirror.activeSensorType = mirror.sensorType;
    mirror.option2 = static_cast<std::uint8_t>(mirror.option2 | kOption2PinnedBit);
    commands.writeSensorSettings();
}

ApplyOutcome applySettings(DeviceCommands& commands, const SettingsRecord& record,
                           const ApplyPersistence& persistence) {
    commands.link().beginSequence();
    DeviceMirror& mirror = commands.mirror();
    ApplyOutcome outcome{.ran = true};
    auto failed = [&outcome](bool ok, unsigned group) {
        if (!ok) {
            outcome.failedGroups |= group;
        }
    };

    // First what the program does not own, so it can go back unchanged.
    const bool effectKnown = commands.readLightingEffect();
    const std::array<bool, 2> paramsKnown = commands.readLightingParams();
    std::array<bool, kConfigBlockCount> blocksKnown = commands.readConfigBlocks();

    mirror.lighting = lightingForApply(record, mirror.lighting);
    mirror.configBlock1 = stageColorBlock(record);

    blocksKnown[1] = true; // the stage colours are the program's own
    failed(commands.writeConfigBlocks(blocksKnown), kDpiGroup);
    failed(commands.writeLightingParams(paramsKnown) && paramsKnown[0] && paramsKnown[1],
           kLightingGroup);
    failed(effectKnown && commands.writeLightingEffect(), kLightingGroup);

    mirror.dpiStageCount = kDpiStageCount;
    mirror.dpiStageCodes = dpiStageCodes(record, mirror.activeSensorType);
    failed(mirror.sensorReadThisConnection && commands.writeDpiStages(), kDpiGroup);

    mirror.keyMatrices[0] = KeyMatrix{};
    std::copy(record.macroSlots.begin(), record.macroSlots.end(), mirror.macroSlotBytes.begin());
    const bool slotsWritten = commands.writeMacroSlots();
    // What the mouse holds now, slot by slot, must be what was sent.
    const std::array<bool, kMacroCount> slotsRead = commands.readMacroSlots();
    const bool slotsMatch =
        std::all_of(slotsRead.begin(), slotsRead.end(), [](bool read) { return read; }) &&
        std::equal(record.macroSlots.begin(), record.macroSlots.end(),
                   mirror.macroSlotBytes.begin());
    failed(slotsWritten && slotsMatch, kMacroGroup);

    mirror.keyMatrices[0] = buildKeyMatrix1(record);
    failed(commands.writeKeyMatrices(), kKeyGroup);
    finishApply(commands, outcome, record, persistence);
    return outcome;
}

void finishApply(DeviceCommands& commands, ApplyOutcome& outcome, const SettingsRecord& record,
                 const ApplyPersistence& persistence) {
    outcome.stalled = commands.link().stalled();
    commands.mirror().sentThisConnection = outcome.complete() && !outcome.stalled;
    if (persistence.saveSettings) {
        persistence.saveSettings(record);
    }
    if (persistence.writeKeyRowTexts) {
        persistence.writeKeyRowTexts();
    }
}

ApplyOutcome confirmSettings(const DeviceLink& link, DeviceCommands& commands, SettingsState& state,
                             const ApplyPersistence& persistence) {
    if (!link.connected) {
        return ApplyOutcome{};
    }
    const ApplyOutcome outcome = applySettings(commands, state.working, persistence);
    state.takeSnapshot();
    return outcome;
}

} // namespace qor
