// One apply sequence against the emulated mouse, with no pauses and no transfer latency: what
// the core itself costs.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "base/text_utf8.h"
#include "device/device_link.h"
#include "device/discovery.h"
#include "device/trace.h"
#include "emulator/emulated_hid_system.h"
#include "emulator/mouse_emulator.h"
#include "protocol/commands.h"
#include "protocol/sequences.h"
#include "settings/config_file.h"
#include "settings/file_system_std.h"

namespace {

using namespace qor;

class Quiet final : public DeviceEventSink, public MessageSink {
public:
    void deliver(DeviceEventCode, std::uint32_t) override {}
    void show(std::u16string_view, std::u16string_view) override {}
};

struct Connected {
    Connected() {
        if (!discovery.openDevice()) {
            throw std::runtime_error("emulated mouse not found");
        }
        link.handshake();
        connectReadBack(commands);
        for (std::size_t k = 0; k < kMouseButtons; ++k) {
            record.modeA.function[k] = static_cast<std::uint8_t>(k);
        }
        record.dpiStageOn = {1, 1, 0, 1};
        record.ledMode = 3;
        record.ledEffect = {0, 0, 3};
        record.macroSlots.fill(0x5A);
    }
    MouseEmulator mouse;
    EmulatedHidSystem system{mouse};
    NullPacer pacer;
    Quiet quiet;
    DeviceLink link{mouse.commandPort(), pacer, quiet};
    DeviceDiscovery discovery{system, link, mouse.eventPort(), quiet, u"Qor"};
    DeviceMirror mirror;
    DeviceCommands commands{link, pacer, mirror};
    SettingsRecord record{};
};

void ApplySequence(benchmark::State& state) {
    Connected c;
    const ApplyPersistence nothing;
    for (auto _ : state) {
        applySettings(c.commands, c.record, nothing);
        benchmark::DoNotOptimize(c.mirror);
    }
}
BENCHMARK(ApplySequence)->Unit(benchmark::kMicrosecond);

// The same with config.bin saved (temporary file and replace) after the key matrices.
void ApplySequenceWithSave(benchmark::State& state) {
    Connected c;
    const auto dir = std::filesystem::temp_directory_path() / "qor-apply-bench";
    std::filesystem::create_directories(dir);
    const auto path = dir / "config.bin";
    std::ofstream(path, std::ios::binary) << std::string(kConfigFileSize, '\0');
    StdFileSystem files;
    ApplyPersistence persistence;
    const auto configPath = utf8ToUtf16(path.string());
    persistence.saveSettings = [&](const SettingsRecord& r) {
        saveConfig(files, c.quiet, configPath, r);
    };
    for (auto _ : state) {
        applySettings(c.commands, c.record, persistence);
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(ApplySequenceWithSave)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
