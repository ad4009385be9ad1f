#include "engine/parallelprobe.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "engine/cltoolstextconvert.h"
#include "engine/devicefamily.h"
#include "engine/portcause.h"
#include "protocol/clconnectpipetten.h"
#include "protocol/devicetypes.h"
#include "wiring/realtransports.h"

namespace veltrin {

namespace {

constexpr int kSerialTransport = TRANSPORT_SERIAL;

// What the probe threads hand back to the searching thread.
struct ProbeBoard {
    std::mutex Mutex;
    std::condition_variable Changed;
    std::vector<PortProbe> Probes;
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

void AskDevice(ClConnectPipetten& device, const std::string& name,
               const TSConnectParams& connection, PortProbe& probe) {
    device.SelectTransport(kSerialTransport);
    TSConnectParams params = connection;
    // As the worker's own port selection: a name that does not fit is left empty rather than
    // cut into what could be another port's name.
    ClToolsTextConvert().TextToBuffer(params.PortName, sizeof(params.PortName),
                                      name.size() < sizeof(params.PortName) ? name : std::string(),
                                      true);
    probe.ResultCode = device.SetParams(params);
    if (probe.ResultCode == 0)
        probe.ResultCode = device.Open();
    probe.Opened = probe.ResultCode == 0;
    if (probe.Opened) {
        probe.ResultCode = device.ReadDeviceId(&probe.Type);
        if (probe.ResultCode != 0)
            probe.Type = DEVICE_UNKNOWN;
        device.Close();
    }
    if (probe.ResultCode != 0)
        probe.ResultText = device.GetResultText(probe.ResultCode, true);
}

}  // namespace

PortProbe ProbePortOnOwnConnection(const std::string& name, const TSConnectParams& connection,
                                   const SleepFunction& sleeper) {
    PortProbe probe;
    try {
        const std::unique_ptr<ClConnectPipetten> device = MakeRealCommandSet();
        if (sleeper)
            device->SetSleeper(sleeper);
        // A lock that cannot be made at all (no lock folder) must not make every port unusable.
        const int claimed = AcquirePortLock(name, probe.Lock, probe.Holder);
        if (claimed == PortInUseError()) {
            probe.InUse = true;
            probe.ResultCode = claimed;
            probe.ResultText = device->GetResultText(claimed, true);
            ExplainProbe(name, probe);
            return probe;
        }
        AskDevice(*device, name, connection, probe);
        ExplainProbe(name, probe);
        if (!IsSupportedType(probe.Type))
            probe.Lock.reset();
    } catch (...) {
        // Out of memory for a connection: this port shows nothing, as one that cannot be opened.
        probe.Type = DEVICE_UNKNOWN;
        probe.Lock.reset();
    }
    return probe;
}

std::vector<PortProbe> ProbePortsAtOnce(
    const std::vector<std::string>& names, const TSConnectParams& connection,
    const SleepFunction& sleeper, const std::function<void(std::size_t finished)>& onFinished) {
    ProbeBoard board;
    board.Probes.resize(names.size());
    const auto record = [&board](std::size_t index, PortProbe probe) {
        std::lock_guard<std::mutex> lock(board.Mutex);
        board.Probes[index] = std::move(probe);
        ++board.Finished;
        board.Changed.notify_one();
    };
    // Declared after everything the threads use: they are joined before any of it goes away.
    ProbeThreads probes;

    for (std::size_t i = 0; i < names.size(); ++i) {
        try {
            probes.Threads.emplace_back(
                [&, i] { record(i, ProbePortOnOwnConnection(names[i], connection, sleeper)); });
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
    return std::move(board.Probes);
}

}  // namespace veltrin
