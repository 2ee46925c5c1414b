// A hostile record.ini: twelve sections of 20,000 items each (about 4.7 MB). The rebuild of the
// macro slots reads it once and looks up every item the read limit lets through.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "macro/macro_file.h"
#include "macro/macro_slot_bytes.h"
#include "settings/ini_engine.h"
#include "settings/settings_record.h"

namespace {

using namespace qor;

std::filesystem::path largeRecordIni() {
    const auto path = std::filesystem::temp_directory_path() / "qor-bench-large-record.ini";
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::mt19937 random(1);
    const char* keys[] = {"A", "Left Shift", "Space", "Num 7", "F12", "L-Button", "R-Button"};
    for (int m = 1; m <= 12; ++m) {
        out << "[Macro " << m << "]\r\nMacroLoopTimes=3\r\nItemCount=20000\r\n";
        for (int i = 0; i < 20000; ++i) {
            out << "Item" << i << '=';
            if (i % 2 != 0) {
                out << 1 + random() % 999 << " ms\r\n";
            } else {
                out << keys[random() % 7] << (random() % 2 ? "   Dn" : "   Up") << "\r\n";
            }
        }
    }
    return path;
}

void RebuildFromLargeRecordIni(benchmark::State& state) {
    const auto path = largeRecordIni();
    const IniEngine engine;
    const MacroFile file(engine, path);
    SettingsRecord record{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(rebuildMacroSlotBytes(file, record));
    }
    std::filesystem::remove(path);
}
BENCHMARK(RebuildFromLargeRecordIni)->Unit(benchmark::kMillisecond);

} // namespace
