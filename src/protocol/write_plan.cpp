#include "protocol/write_plan.h"

#include <algorithm>

namespace qor {

bool WritePlan::empty() const {
    return *this == WritePlan{};
}

WritePlan planWrites(const DeviceMirror& sent, const DeviceMirror& wanted) {
    WritePlan plan;
    for (std::size_t i = 0; i < kConfigBlockCount; ++i) {
        const auto a = sent.configBlock(i);
        const auto b = wanted.configBlock(i);
        plan.configBlocks[i] = !std::equal(a.begin(), a.end(), b.begin(), b.end());
    }
    for (std::size_t i = 0; i < 2; ++i) {
        plan.lightingParams[i] = sent.lighting.ledParams[i] != wanted.lighting.ledParams[i];
    }
    plan.lightingEffect = sent.lighting.effect != wanted.lighting.effect ||
                          sent.lighting.effectOption1 != wanted.lighting.effectOption1 ||
                          sent.lighting.effectOption2 != wanted.lighting.effectOption2;
    plan.dpiStages =
        sent.dpiStageCount != wanted.dpiStageCount || sent.dpiStageCodes != wanted.dpiStageCodes;
    for (std::size_t n = 1; n <= kMacroCount; ++n) {
        const auto a = sent.macroSlot(n);
        const auto b = wanted.macroSlot(n);
        plan.macroSlots[n - 1] = !std::equal(a.begin(), a.end(), b.begin(), b.end());
    }
    for (std::size_t m = 0; m < kKeyMatrixCount; ++m) {
        const auto a = sent.keyMatrices[m].bytes();
        const auto b = wanted.keyMatrices[m].bytes();
        plan.keyMatrices[m] = !std::equal(a.begin(), a.end(), b.begin(), b.end());
    }
    return plan;
}

DeviceMirror mirrorForRecord(const DeviceMirror& sent, const SettingsRecord& record) {
    // The same values applySettings() puts into the mirror.
    DeviceMirror wanted = sent;
    wanted.lighting = lightingForApply(record, sent.lighting);
    wanted.configBlock1 = stageColorBlock(record);
    wanted.dpiStageCount = kDpiStageCount;
    wanted.dpiStageCodes = dpiStageCodes(record, sent.activeSensorType);
    std::copy(record.macroSlots.begin(), record.macroSlots.end(), wanted.macroSlotBytes.begin());
    wanted.keyMatrices[0] = buildKeyMatrix1(record);
    return wanted;
}

ApplyOutcome applyChangedSettings(DeviceCommands& commands, const SettingsRecord& record,
                                  const ApplyPersistence& persistence) {
    DeviceMirror& mirror = commands.mirror();
    if (!mirror.sentThisConnection) {
        return applySettings(commands, record, persistence);
    }
    commands.link().beginSequence();
    ApplyOutcome outcome{.ran = true};
    auto failed = [&outcome](bool ok, unsigned group) {
        if (!ok) {
            outcome.failedGroups |= group;
        }
    };
    const DeviceMirror wanted = mirrorForRecord(mirror, record);
    const WritePlan plan = planWrites(mirror, wanted);
    mirror = wanted;

    if (std::any_of(plan.configBlocks.begin(), plan.configBlocks.end(), [](bool b) { return b; })) {
        failed(commands.writeConfigBlocks(plan.configBlocks), kDpiGroup);
    }
    if (plan.lightingParams[0] || plan.lightingParams[1]) {
        failed(commands.writeLightingParams(plan.lightingParams), kLightingGroup);
    }
    if (plan.lightingEffect) {
        failed(commands.writeLightingEffect(), kLightingGroup);
    }
    if (plan.dpiStages) {
        failed(commands.writeDpiStages(), kDpiGroup);
    }
    if (std::any_of(plan.macroSlots.begin(), plan.macroSlots.end(), [](bool b) { return b; })) {
        const bool written = commands.writeMacroSlots(plan.macroSlots);
        const auto read = commands.readMacroSlots(plan.macroSlots);
        bool match = true;
        for (std::size_t n = 1; n <= kMacroCount; ++n) {
            if (!plan.macroSlots[n - 1]) {
                continue;
            }
            const auto held = mirror.macroSlot(n);
            const auto sentSlot = wanted.macroSlot(n);
            match = match && read[n - 1] && std::equal(held.begin(), held.end(), sentSlot.begin());
        }
        failed(written && match, kMacroGroup);
    }
    if (std::any_of(plan.keyMatrices.begin(), plan.keyMatrices.end(), [](bool b) { return b; })) {
        failed(commands.writeKeyMatrices(plan.keyMatrices), kKeyGroup);
    }
    finishApply(commands, outcome, record, persistence);
    return outcome;
}

} // namespace qor
