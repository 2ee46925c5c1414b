// Profile switches on the wire: only the commands whose payload changed, no mirror reads while
// the mirror is known from this connection, the full sequence otherwise.
#include "protocol/write_plan.h"

#include "emulator/emulator_faults.h"

#include "support/protocol_rig.h"
#include <algorithm>
#include <cstdio>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace qor;
using qor::test::ProtocolRig;

using qor::test::requests;

SettingsRecord baseRecord() {
    SettingsRecord r{};
    for (std::size_t k = 0; k < kMouseButtons; ++k) {
        r.modeA.function[k] = static_cast<std::uint8_t>(k);
    }
    r.dpiStageOn = {1, 1, 1, 1};
    r.dpiLevel = {1, 3, 5, 7};
    r.ledMode = 1;
    r.macroSlots.fill(0x11);
    return r;
}

struct SwitchRig : ProtocolRig {
    SwitchRig() { EXPECT_TRUE(start()); }
    // The requests one apply of `record` puts on the wire.
    std::vector<std::string> switchTo(const SettingsRecord& record) {
        trace.clear();
        last = applyChangedSettings(commands, record, ApplyPersistence{});
        return requests(trace);
    }
    ApplyOutcome last;
};

TEST(WritePlan, AChangeSendsOnlyItsCommands) {
    const auto dpiOnly = [] {
        SettingsRecord r = baseRecord();
        r.dpiLevel[1] = 4;
        return r;
    }();
    const auto oneSlot = [] {
        SettingsRecord r = baseRecord();
        r.macroSlots[5 * kMacroSlotBytes + 3] = 0x42; // slot 6
        return r;
    }();
    const auto stageColour = [] {
        SettingsRecord r = baseRecord();
        r.dpiColor[0] = 0x80;
        return r;
    }();
    const auto key = [] {
        SettingsRecord r = baseRecord();
        r.modeA.function[2] = 0;
        return r;
    }();
    const struct {
        const char* change;
        SettingsRecord record;
        std::vector<std::string> sent;
    } cases[] = {
        {"nothing", baseRecord(), {}},
        {"a DPI level", dpiOnly, {"11 04"}},
        {"one macro slot, read back", oneSlot, {"13 06", "93 06"}},
        {"a stage colour (block 1)", stageColour, {"10 01"}},
        {"a button (key matrix 1)", key, {"12 01"}},
    };
    for (const auto& c : cases) {
        SwitchRig rig;
        rig.switchTo(baseRecord()); // the connection's first apply: the full sequence
        ASSERT_TRUE(rig.last.complete()) << c.change;
        EXPECT_EQ(rig.switchTo(c.record), c.sent) << c.change;
        EXPECT_TRUE(rig.last.complete()) << c.change;
        // The mouse now holds what a full apply of the record would have given it.
        SwitchRig full;
        full.switchTo(c.record);
        EXPECT_EQ(rig.mouse.state(), full.mouse.state()) << c.change;
    }
}

TEST(WritePlan, TheFullSequenceFirstAndAgainOnANewConnection) {
    SwitchRig rig;
    const auto first = rig.switchTo(baseRecord());
    // What the full apply sends, reads included.
    EXPECT_NE(std::find(first.begin(), first.end(), "8d 00"), first.end());
    EXPECT_NE(std::find(first.begin(), first.end(), "90 00"), first.end());
    EXPECT_NE(std::find(first.begin(), first.end(), "87 00"), first.end());
    EXPECT_EQ(rig.switchTo(baseRecord()), std::vector<std::string>{});

    // The mouse pulled out and plugged in: the connect read-back forgets what was sent.
    EXPECT_TRUE(rig.start());
    EXPECT_EQ(rig.switchTo(baseRecord()), first);
}

// An apply that did not go through leaves the next one to send everything.
TEST(WritePlan, AnIncompleteSwitchMakesTheNextApplyFull) {
    SwitchRig rig;
    const auto first = rig.switchTo(baseRecord());
    SettingsRecord changed = baseRecord();
    changed.dpiLevel[3] = 6;
    rig.mouse.setInstantTimeouts(true);
    EmulatorFaults stall;
    stall.stallAfter = 0;
    rig.mouse.setFaults(stall);
    rig.switchTo(changed);
    EXPECT_FALSE(rig.last.complete());
    rig.mouse.setFaults({});
    EXPECT_EQ(rig.switchTo(changed), first);
    EXPECT_TRUE(rig.last.complete());
}

TEST(WritePlan, PlanComparesEachPayload) {
    DeviceMirror sent;
    sent.macroSlotBytes.fill(1);
    const auto with = [&](auto change) {
        DeviceMirror m = sent;
        change(m);
        return planWrites(sent, m);
    };
    EXPECT_TRUE(planWrites(sent, sent).empty());
    EXPECT_EQ(with([](DeviceMirror& m) { m.lighting.ledParams[1][2] = 9; }).lightingParams,
              (std::array<bool, 2>{false, true}));
    EXPECT_TRUE(with([](DeviceMirror& m) { m.lighting.effectOption2 = 1; }).lightingEffect);
    EXPECT_TRUE(with([](DeviceMirror& m) { m.dpiStageCount = 3; }).dpiStages);
    EXPECT_EQ(with([](DeviceMirror& m) { m.configBlock2[3] = 1; }).configBlocks,
              (std::array<bool, 3>{false, false, true}));
    const WritePlan lastSlot = with([](DeviceMirror& m) { m.macroSlotBytes.back() = 0; });
    EXPECT_TRUE(lastSlot.macroSlots[kMacroCount - 1]);
    EXPECT_FALSE(lastSlot.macroSlots[kMacroCount - 2]);
    // Only what the plan covers: the sensor settings belong to the connect read-back.
    EXPECT_TRUE(with([](DeviceMirror& m) { m.rate = 3; }).empty());
}

} // namespace
