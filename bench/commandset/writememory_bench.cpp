// Blocks per second of WriteMemory with the largest block (4096 data bytes, a 4116-byte message)
// through the command set, the serial transport and a pseudo-terminal into the simulator, with
// the update worker's settings. Argument: the simulator's line rate (0 = as fast as the pty).
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "pipettesimulator.h"
#include "protocol/clconnectpipetten.h"
#include "wiring/realtransports.h"

namespace {

using namespace veltrin;

TSConnectParams WorkerParams(const std::string& port) {
    TSConnectParams p;
    p.TxChecksum = p.RxChecksum = kChecksumCrc16Arc;
    p.TxLengthBytes = p.RxLengthBytes = 2;
    p.Attempts = 3;
    p.StxCount = 1;
    p.PrefixDelay = 1;
    p.RetryDelay = 10;
    p.AckTimeout = 3000;
    p.AnswerTimeout = 10000;
    std::strncpy(p.PortName, port.c_str(), sizeof(p.PortName) - 1);
    p.BaudRate = 230400;
    p.DataBits = 8;
    SetReservedDefaults(p);
    return p;
}

void BM_WriteMemory4096(benchmark::State& state) {
    SimOptions options;
    options.BaudRate = static_cast<std::uint32_t>(state.range(0));
    PipetteSimulator sim(options);
    if (sim.Start() != 0) {
        state.SkipWithError("simulator did not start");
        return;
    }
    const std::unique_ptr<ClConnectPipetten> realSet = MakeRealCommandSet();
    ClConnectPipetten& set = *realSet;
    set.SelectTransport(2);
    set.SetParams(WorkerParams(sim.PortName()));
    if (set.Open() != 0) {
        state.SkipWithError("port did not open");
        return;
    }
    std::vector<std::uint8_t> data(kMaxMemoryBlock, 0x5A);
    TSMemoryBlock block;
    block.Count = static_cast<std::uint16_t>(kMaxMemoryBlock);
    block.MemoryType = MEM_EXT_FLASH;
    for (auto _ : state) {
        if (set.WriteMemory(block, data.data(), kMaxMemoryBlock, 0) != 0) {
            state.SkipWithError("write failed");
            break;
        }
        block.Address += kMaxMemoryBlock;
    }
    set.Close();
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kMaxMemoryBlock));
}
BENCHMARK(BM_WriteMemory4096)->Arg(0)->Arg(230400)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
