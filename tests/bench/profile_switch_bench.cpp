// The wire time of profile switches beside the full apply: every transfer of the emulated mouse
// takes 1 ms (as over USB) and the pacer's pauses are slept, so the wall time of an iteration is
// the time the mouse is busy. Counters: transfers and paused milliseconds per iteration.
#include <benchmark/benchmark.h>

#include <stdexcept>

#include "device/device_link.h"
#include "device/discovery.h"
#include "device/precise_sleep.h"
#include "device/trace.h"
#include "emulator/emulated_hid_system.h"
#include "emulator/mouse_emulator.h"
#include "protocol/commands.h"
#include "protocol/sequences.h"
#include "protocol/write_plan.h"

namespace {

using namespace qor;

class Quiet final : public DeviceEventSink, public MessageSink {
public:
    void deliver(DeviceEventCode, std::uint32_t) override {}
    void show(std::u16string_view, std::u16string_view) override {}
};

// Sleeps each pause and adds it up.
class SleepingPacer final : public Pacer {
public:
    void pause(unsigned milliseconds) override {
        paused += milliseconds;
        preciseSleep(std::chrono::milliseconds(milliseconds));
    }
    unsigned long long paused = 0;
};

struct Wire {
    Wire() {
        mouse.setTransferLatency(std::chrono::milliseconds(1));
        if (!discovery.openDevice()) {
            throw std::runtime_error("emulated mouse not found");
        }
        link.handshake();
        connectReadBack(commands);
        for (std::size_t k = 0; k < kMouseButtons; ++k) {
            desk.modeA.function[k] = static_cast<std::uint8_t>(k);
        }
        desk.dpiStageOn = {1, 1, 1, 1};
        desk.dpiLevel = {1, 3, 5, 7};
        desk.ledMode = 3;
        desk.ledEffect = {0, 0, 3};
        desk.macroSlots.fill(0x5A);
        game = desk;
        game.dpiLevel = {2, 4, 6, 8};
        // The connection's first apply: the full sequence, which the switches then build on.
        applySettings(commands, desk, {});
        transfers = 0;
        pacer.paused = 0;
    }
    void count(benchmark::State& state) const {
        const auto n = static_cast<double>(state.iterations());
        state.counters["transfers"] = static_cast<double>(transfers) / n;
        state.counters["paused_ms"] = static_cast<double>(pacer.paused) / n;
    }

    MouseEmulator mouse;
    EmulatedHidSystem system{mouse};
    unsigned long long transfers = 0;
    TracingCommandPort port{mouse.commandPort(), [this](std::string_view line) {
                                // A flush of the input queue is no transfer.
                                transfers += line == "flush" ? 0 : 1;
                            }};
    SleepingPacer pacer;
    Quiet quiet;
    DeviceLink link{port, pacer, quiet};
    DeviceDiscovery discovery{system, link, mouse.eventPort(), quiet, u"Qor"};
    DeviceMirror mirror;
    DeviceCommands commands{link, pacer, mirror};
    SettingsRecord desk{};
    SettingsRecord game{};
};

// OK and Apply: every read and write, every pause.
void FullApply(benchmark::State& state) {
    Wire w;
    for (auto _ : state) {
        applySettings(w.commands, w.desk, {});
    }
    w.count(state);
}
BENCHMARK(FullApply)->Unit(benchmark::kMillisecond)->UseRealTime();

// Two profiles that differ in their DPI levels only, back and forth.
void SwitchDpiOnly(benchmark::State& state) {
    Wire w;
    bool toGame = true;
    for (auto _ : state) {
        applyChangedSettings(w.commands, toGame ? w.game : w.desk, {});
        toGame = !toGame;
    }
    w.count(state);
}
BENCHMARK(SwitchDpiOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

// A switch to a profile equal to what the mouse holds.
void SwitchIdentical(benchmark::State& state) {
    Wire w;
    for (auto _ : state) {
        applyChangedSettings(w.commands, w.desk, {});
    }
    w.count(state);
}
BENCHMARK(SwitchIdentical)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
