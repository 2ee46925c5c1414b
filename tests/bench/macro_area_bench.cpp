// The Advanced page's macro area shown with twelve macros of 60 events each: record.ini read,
// the first macro loaded, its loop count handled, and the scene the window reconciles.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "macro/macro_area.h"
#include "settings/ini_engine.h"
#include "settings/settings_record.h"

namespace {

using namespace qor;

class Quiet final : public MessageSink, public RecorderHost, public DialogRunner {
public:
    void show(std::u16string_view, std::u16string_view) override {}
    std::optional<std::uint32_t> installKeyboardHook() override { return std::nullopt; }
    void removeKeyboardHook() override {}
    void setWindowTitle(std::u16string_view) override {}
    void restoreWindowTitle() override {}
    void sendRecorderMessage(std::uintptr_t, std::intptr_t) override {}
    void postRecorderMessage(std::uintptr_t, std::intptr_t) override {}
    bool run(DialogContent&) override { return false; }
};

std::filesystem::path twelveMacros() {
    const auto path = std::filesystem::temp_directory_path() / "qor-bench-twelve-macros.ini";
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (int m = 1; m <= 12; ++m) {
        out << "[Macro" << m << "]\r\nMacroLoopTimes=1\r\nItemCount=119\r\n";
        for (int i = 0; i < 119; ++i) {
            out << "Item" << i << '=';
            if (i % 2 != 0) {
                out << "50 ms\r\n";
            } else {
                out << static_cast<char>('A' + (i / 4) % 26) << (i % 4 == 0 ? "   Dn" : "   Up")
                    << "\r\n";
            }
        }
    }
    return path;
}

void ShowTwelveMacrosOfSixtyEvents(benchmark::State& state) {
    const auto path = twelveMacros();
    const IniEngine engine;
    const MacroFile file(engine, path);
    SettingsRecord record{};
    const StringTable strings(Language::English);
    Quiet quiet;
    MacroArea area(file, record, strings, quiet, quiet, quiet);
    for (auto _ : state) {
        area.pageShown();
        benchmark::DoNotOptimize(area.scene(std::nullopt));
        area.pageLeft();
    }
    std::filesystem::remove(path);
}
BENCHMARK(ShowTwelveMacrosOfSixtyEvents)->Unit(benchmark::kMillisecond);

} // namespace
