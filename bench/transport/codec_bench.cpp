// Throughput of the ASCII-HEX codec on the largest memory-write message.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "protocol/clconnect.h"

namespace {

constexpr std::uint32_t kMessage = 4116;

class Codec : public veltrin::ClConnect {};

void BM_BytesToHex(benchmark::State& state) {
    Codec codec;
    std::vector<std::uint8_t> bytes(kMessage);
    for (std::uint32_t i = 0; i < kMessage; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 31);
    std::vector<char> text(2 * kMessage + 1);
    for (auto _ : state) {
        int result = codec.BytesToHex(text.data(), static_cast<std::uint32_t>(text.size()),
                                      bytes.data(), kMessage, kMessage);
        benchmark::DoNotOptimize(result);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kMessage);
}
BENCHMARK(BM_BytesToHex);

void BM_HexToBytes(benchmark::State& state) {
    Codec codec;
    std::vector<std::uint8_t> bytes(kMessage);
    for (std::uint32_t i = 0; i < kMessage; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 31);
    std::vector<char> text(2 * kMessage + 1);
    codec.BytesToHex(text.data(), static_cast<std::uint32_t>(text.size()), bytes.data(), kMessage,
                     kMessage);
    for (auto _ : state) {
        int result = codec.HexToBytes(bytes.data(), kMessage, kMessage, text.data(),
                                      static_cast<std::uint32_t>(text.size()));
        benchmark::DoNotOptimize(result);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kMessage);
}
BENCHMARK(BM_HexToBytes);

}  // namespace

BENCHMARK_MAIN();
