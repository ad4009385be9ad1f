// What the update history costs a run: hashing the firmware files once per download (a full-size
// firmware text is about 24 MB), appending one record with its lock and flush to disk, and
// reading back a history of years.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "history/historyfile.h"
#include "history/historyreader.h"
#include "history/historyrecord.h"
#include "crypto/sha256.h"

namespace {

namespace fs = std::filesystem;

fs::path BenchFile(const char* name) {
    return fs::temp_directory_path() /
           (std::string("veltrin-history-bench-") + name + "-" +
            std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) +
            ".jsonl");
}

veltrin::HistoryRecord Record() {
    veltrin::HistoryRecord record;
    record.Time = "2026-12-09T12:21:55Z";
    record.Program = "veltrin-cli";
    record.ProgramVersion = "0.1.0";
    record.Computer = "lab-pc-17";
    record.Port = "ttyACM0";
    record.DeviceType = 10;
    record.DeviceTypeText = "Quorvan USB OTG plus";
    record.Family = "Quorvan/plus";
    record.InfoText = "Pipette simulator";
    record.VersionText0 = "01.00.00 Application 20240101";
    record.VersionText1 = "01.00.00 Bootloader 20240101";
    record.FirmwareFile = "Quorvan_OTG_V04.05.06.hex";
    record.FirmwareVersion = "04.05.06";
    record.FirmwareSha256 = std::string(64, 'a');
    record.VariantFile = "quorvan_variants.par";
    record.VariantSha256 = std::string(64, 'b');
    record.VariantId = 0x130;
    record.ResultText = "Update successful";
    record.DurationMs = 83400;
    return record;
}

void BM_Sha256(benchmark::State& state) {
    const std::vector<char> data(static_cast<std::size_t>(state.range(0)), 'x');
    for (auto _ : state)
        benchmark::DoNotOptimize(veltrin::Sha256Hex(data.data(), data.size()));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Sha256)->Arg(24 << 20)->Unit(benchmark::kMillisecond);

void BM_AppendRecord(benchmark::State& state) {
    const fs::path file = BenchFile("append");
    const std::string line = veltrin::HistoryRecordToJson(Record());
    std::string error;
    for (auto _ : state) {
        if (veltrin::AppendHistoryLine(file.string(), line, error) != 0)
            state.SkipWithError(error.c_str());
    }
    state.SetItemsProcessed(state.iterations());
    std::error_code ignored;
    fs::remove(file, ignored);
}
BENCHMARK(BM_AppendRecord)->Unit(benchmark::kMicrosecond);

void BM_ReadHistory(benchmark::State& state) {
    std::string text;
    const std::string line = veltrin::HistoryRecordToJson(Record()) + "\n";
    for (int i = 0; i < state.range(0); ++i)
        text += line;
    for (auto _ : state) {
        std::vector<veltrin::HistoryRecord> records;
        std::vector<std::string> warnings;
        veltrin::ParseHistoryText(text, records, warnings);
        benchmark::DoNotOptimize(records.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadHistory)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
