// How long one exchange takes through the simulator, with and without the line-rate throttle.
// Prints figures; asserts nothing.
#include <chrono>
#include <cstdio>

#include "pipettesimulator.h"
#include "rawclient.h"

using namespace veltrin;
using namespace veltrin::test;

namespace {

std::vector<std::uint8_t> Block(std::uint32_t address) {
    std::vector<std::uint8_t> params = {0, 0};
    AppendUint32(params, address);
    AppendUint16(params, 4096);
    AppendUint16(params, 0);
    for (int i = 0; i < 4096; ++i)
        params.push_back(static_cast<std::uint8_t>(i * 31));
    return Request(0x0202, params);
}

// Mean milliseconds per exchange over count exchanges; negative when one failed.
double MeanMs(std::uint32_t baud, const std::vector<std::uint8_t>& (*make)(int), int count) {
    SimOptions options;
    options.BaudRate = baud;
    PipetteSimulator sim(options);
    if (sim.Start() != 0)
        return -1;
    RawClient client(sim.DevicePath());
    if (!client.IsOpen() || !client.Exchange(make(0), 5000ms).FrameOk)
        return -1;  // warm-up
    const auto start = std::chrono::steady_clock::now();
    for (int i = 1; i <= count; ++i) {
        if (!client.Exchange(make(i), 5000ms).FrameOk)
            return -1;
    }
    const std::chrono::duration<double, std::milli> elapsed =
        std::chrono::steady_clock::now() - start;
    return elapsed.count() / count;
}

const std::vector<std::uint8_t>& BlockRequest(int i) {
    static std::vector<std::uint8_t> request;
    request = Block(0x08010000u + static_cast<std::uint32_t>(i) * 4096u);
    return request;
}

const std::vector<std::uint8_t>& ModeRequest(int) {
    static const std::vector<std::uint8_t> request = Request(0x0002);
    return request;
}

}  // namespace

int main() {
    // A 4096-byte block: 4116-byte message + checksum as 8236 hex characters, STX, a 4-character
    // prefix and ETX going out; ACK and a 36-character answer frame coming back.
    const double lineBytes = 1 + 4 + (4116 + 2) * 2 + 1 + 1 + 1 + 4 + (10 + 2) * 2 + 1;
    std::printf("4 KiB WriteMemory exchange, mean of the runs:\n");
    std::printf("  unthrottled        %8.3f ms per block\n", MeanMs(0, BlockRequest, 200));
    std::printf("  230400 baud (8N1)  %8.3f ms per block (line time alone %.3f ms)\n",
                MeanMs(230400, BlockRequest, 10), lineBytes * 10.0 / 230400.0 * 1000.0);
    std::printf("ReadDeviceMode exchange:\n");
    std::printf("  unthrottled        %8.3f ms\n", MeanMs(0, ModeRequest, 1000));
    std::printf("  230400 baud (8N1)  %8.3f ms\n", MeanMs(230400, ModeRequest, 100));
    return 0;
}
