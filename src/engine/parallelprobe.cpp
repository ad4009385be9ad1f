#include "engine/parallelprobe.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "engine/cltoolstextconvert.h"
#include "protocol/clconnectpipetten.h"
#include "protocol/devicetypes.h"
#include "wiring/realtransports.h"

namespace veltrin {

namespace {

constexpr int kSerialTransport = 2;

// What the probe threads hand back to the searching thread.
struct ProbeBoard {
    std::mutex Mutex;
    std::condition_variable Changed;
    std::vector<int> Types;
    std::size_t Finished = 0;
};

// Joins every started probe thread when the search leaves, however it leaves.
struct ProbeThreads {
    std::vector<std::thread> Threads;
    ~ProbeThreads() {
        for (auto& thread : Threads) {
            if (thread.joinable())
                thread.join();
        }
    }
};

}  // namespace

int ProbePortOnOwnConnection(const std::string& name, const TSConnectParams& connection,
                             const SleepFunction& sleeper) {
    try {
        const std::unique_ptr<ClConnectPipetten> realDevice = MakeRealCommandSet();
        ClConnectPipetten& device = *realDevice;
        if (sleeper)
            device.SetSleeper(sleeper);
        device.SelectTransport(kSerialTransport);
        TSConnectParams params = connection;
        // The same cut as the worker's own port selection, so both searches probe one port.
        ClToolsTextConvert().TextToBuffer(params.PortName, sizeof(params.PortName), name, true);
        if (device.SetParams(params) != 0 || device.Open() != 0)
            return DEVICE_UNKNOWN;
        int type = DEVICE_UNKNOWN;
        if (device.ReadDeviceId(&type) != 0)
            type = DEVICE_UNKNOWN;
        device.Close();
        return type;
    } catch (...) {
        // Out of memory for a connection: this port shows nothing, as one that cannot be opened.
        return DEVICE_UNKNOWN;
    }
}

std::vector<int> ProbePortsAtOnce(const std::vector<std::string>& names,
                                  const TSConnectParams& connection, const SleepFunction& sleeper,
                                  const std::function<void(std::size_t finished)>& onFinished) {
    ProbeBoard board;
    board.Types.assign(names.size(), DEVICE_UNKNOWN);
    const auto record = [&board](std::size_t index, int type) {
        std::lock_guard<std::mutex> lock(board.Mutex);
        board.Types[index] = type;
        ++board.Finished;
        board.Changed.notify_one();
    };
    // Declared after everything the threads use: they are joined before any of it goes away.
    ProbeThreads probes;

    for (std::size_t i = 0; i < names.size(); ++i) {
        try {
            probes.Threads.emplace_back([&, i] {
                record(i, ProbePortOnOwnConnection(names[i], connection, sleeper));
            });
        } catch (...) {
            // No thread to be had: this port is probed here, in turn, and still counted.
            record(i, ProbePortOnOwnConnection(names[i], connection, sleeper));
        }
    }

    std::size_t reported = 0;
    while (reported < names.size()) {
        std::size_t finished = 0;
        {
            std::unique_lock<std::mutex> lock(board.Mutex);
            board.Changed.wait(lock, [&] { return board.Finished > reported; });
            finished = board.Finished;
        }
        // One progress step per finished probe, also when several ended together.
        while (reported < finished) {
            ++reported;
            if (onFinished)
                onFinished(reported);
        }
    }
    std::lock_guard<std::mutex> lock(board.Mutex);
    return board.Types;
}

}  // namespace veltrin
