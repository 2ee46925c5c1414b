// Parsing INI files at the engine's size limit, the index of a large record.ini, and reading a
// file again that has not changed. Peak memory: run one case under /usr/bin/time -v, e.g.
//   /usr/bin/time -v build/bench/bin/qor_bench --benchmark_filter=ParseLineFeeds
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "settings/ini_engine.h"

namespace {

using namespace qor;

// A file of `kIniFileSizeMax` bytes made of one line repeated.
std::string repeatedLines(std::string_view line) {
    std::string text;
    text.reserve(kIniFileSizeMax);
    while (text.size() + line.size() <= kIniFileSizeMax) {
        text += line;
    }
    return text;
}

// Twelve macros of 20,000 items, about 4.7 MB.
std::string largeRecordIni() {
    std::string text;
    for (int m = 1; m <= 12; ++m) {
        text += "[Macro " + std::to_string(m) + "]\r\nMacroLoopTimes=3\r\nItemCount=20000\r\n";
        for (int i = 0; i < 20000; ++i) {
            text +=
                "Item" + std::to_string(i) + (i % 2 != 0 ? "=20 ms\r\n" : "=Left Shift   Dn\r\n");
        }
    }
    return text;
}

void parseAndMeasure(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        IniDocument document = IniDocument::parse(text);
        benchmark::DoNotOptimize(document);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void ParseLineFeeds(benchmark::State& state) {
    parseAndMeasure(state, repeatedLines("\n"));
}
BENCHMARK(ParseLineFeeds)->Unit(benchmark::kMillisecond);

void ParseShortEntries(benchmark::State& state) {
    parseAndMeasure(state, repeatedLines("a\n"));
}
BENCHMARK(ParseShortEntries)->Unit(benchmark::kMillisecond);

void ParseLargeRecordIni(benchmark::State& state) {
    parseAndMeasure(state, largeRecordIni());
}
BENCHMARK(ParseLargeRecordIni)->Unit(benchmark::kMillisecond);

// Parsing and the first lookup, which builds the index.
void ParseAndLookUpLargeRecordIni(benchmark::State& state) {
    const std::string text = largeRecordIni();
    for (auto _ : state) {
        const IniDocument document = IniDocument::parse(text);
        benchmark::DoNotOptimize(document.getString(u"Macro 12", u"Item19999"));
    }
}
BENCHMARK(ParseAndLookUpLargeRecordIni)->Unit(benchmark::kMillisecond);

// What one look-up of the macro page costs when record.ini has not changed since the last.
void EngineLookUpUnchangedLargeRecordIni(benchmark::State& state) {
    const auto path = std::filesystem::temp_directory_path() / "qor-bench-ini-parse.ini";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << largeRecordIni();
    const IniEngine engine;
    for (auto _ : state) {
        benchmark::DoNotOptimize(engine.getString(path, u"Macro 7", u"Item123"));
    }
    state.counters["parses"] = static_cast<double>(engine.parses());
    std::filesystem::remove(path);
}
BENCHMARK(EngineLookUpUnchangedLargeRecordIni)->Unit(benchmark::kMillisecond);

} // namespace
