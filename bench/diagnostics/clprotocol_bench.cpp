// What a trace line costs: the trace file is opened, appended and closed on every call so that
// it is complete at any moment. An upload writes three lines per memory block.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "diagnostics/clprotocol.h"

namespace {

namespace fs = std::filesystem;

fs::path TraceFile() {
    return fs::temp_directory_path() /
           ("veltrin-trace-bench-" +
            std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + ".txt");
}

void BM_WriteTimedLine(benchmark::State& state) {
    const fs::path file = TraceFile();
    veltrin::ClProtocol trace;
    trace.SetFileName(file.string());
    const std::string line =
        "schreibe in Speicher: Speicher: MEM_EXT_FLASH - 0x0001 / Startadresse: 0x00010000 / "
        "Anzahl Bytes: 4096";
    for (auto _ : state)
        trace.WriteTimedLine(line);
    state.SetItemsProcessed(state.iterations());
    trace.Reset();
}
BENCHMARK(BM_WriteTimedLine);

void BM_TimeStamp(benchmark::State& state) {
    veltrin::ClProtocol trace;
    for (auto _ : state)
        benchmark::DoNotOptimize(trace.TimeStamp());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TimeStamp);

}  // namespace

BENCHMARK_MAIN();
