// Exchanges per second of the largest memory write (4116 bytes with CRC-16/ARC, a short
// answer) over a pseudo-terminal whose device side answers at once.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "support/ptypair.h"
#include "support/scriptedpeer.h"
#include "transport/clconnectcomport.h"

namespace {

using veltrin::ClConnect;
using veltrin::ClConnectComport;
using veltrin::TSConnectParams;
using veltrin::testsupport::PtyPair;
using veltrin::testsupport::ScriptedPeer;

constexpr std::uint32_t kCapacity = 4120;  // the command set's message buffer
constexpr std::uint32_t kMessage = 4116;
constexpr std::uint32_t kTextSize = 8249;

// ACK, then a 12-byte status answer with its CRC in a frame with a 2-byte length prefix.
std::string DeviceAnswer() {
    const std::uint8_t answer[12] = {0x0C, 0, 0, 0, 0x05, 0, 0, 0, 0, 0, 0, 0};
    const std::uint16_t crc = ClConnect::Crc16(0, answer, sizeof answer, sizeof answer);
    std::string text;
    char hex[8];
    for (std::uint8_t b : answer) {
        std::snprintf(hex, sizeof hex, "%02X", b);
        text += hex;
    }
    std::snprintf(hex, sizeof hex, "%02X%02X", crc & 0xFF, crc >> 8);
    text += hex;
    std::snprintf(hex, sizeof hex, "%02X%02X", static_cast<unsigned>(text.size()), 0u);
    return std::string("\x06\x02") + hex + text + "\x03";
}

// Argument 1: with the worker's real 1 ms pause after the length prefix; 0: without it, which
// shows the cost of the transport itself.
void BM_Transfer4116(benchmark::State& state) {
    PtyPair pty;
    if (!pty.Ok()) {
        state.SkipWithError(("no pseudo-terminal: " + pty.Error()).c_str());
        return;
    }
    const std::string answer = DeviceAnswer();
    ScriptedPeer peer(pty);
    peer.Serve([&answer](const std::string&) { return answer; }).Start();

    ClConnectComport port;
    TSConnectParams p;
    port.GetParams(p);
    p.TxChecksum = p.RxChecksum = veltrin::kChecksumCrc16Arc;
    p.TxLengthBytes = p.RxLengthBytes = 2;
    p.Attempts = 3;
    p.RetryDelay = 10;
    p.AckTimeout = 3000;
    p.AnswerTimeout = 10000;
    std::strncpy(p.PortName, pty.PortName().c_str(), sizeof(p.PortName) - 1);
    port.SetParams(p);
    if (state.range(0) == 0)
        port.SetSleeper([](std::uint32_t) {});
    if (port.Open() != 0) {
        state.SkipWithError("open failed");
        return;
    }

    std::vector<std::uint8_t> message(kCapacity);
    std::vector<char> request(kTextSize);
    std::vector<char> reply(kTextSize);
    for (auto _ : state) {
        for (std::uint32_t i = 0; i < kMessage; ++i)
            message[i] = static_cast<std::uint8_t>(i);
        std::uint32_t length = kMessage;
        const int result = port.Transfer(message.data(), &length, kCapacity, request.data(),
                                         kTextSize, reply.data(), kTextSize);
        if (result != 0) {
            state.SkipWithError("exchange failed");
            break;
        }
    }
    // Frame on the wire: STX, prefix, text with CRC, ETX.
    const std::int64_t wireBytes = 1 + 4 + 2 * (kMessage + 2) + 1;
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * wireBytes);
    port.Close();
    peer.Stop();
}
BENCHMARK(BM_Transfer4116)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
