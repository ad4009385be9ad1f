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

// The texts the update reads before its questions, in its order; a failure ends the reading.
void ReadTexts(ClConnectPipetten& device, PortProbe& probe) {
    probe.TextsRead = device.ReadVersionText(probe.VersionText0.data(), 0) == 0 &&
                      device.ReadVersionText(probe.VersionText1.data(), 1) == 0 &&
                      device.ReadInfoText(probe.InfoText.data()) == 0;
}

}  // namespace

PortProbe ProbeClaimedPort(ClConnectPipetten& device, const std::string& name,
                           const std::function<int()>& selectPort, ProbeReads reads) {
    PortProbe probe;
    // A lock that cannot be made at all (no lock folder) must not make every port unusable.
    const int claimed = AcquirePortLock(name, probe.Lock, probe.Holder);
    if (claimed == PortInUseError()) {
        probe.InUse = true;
        probe.ResultCode = claimed;
        probe.ResultText = device.GetResultText(claimed, true);
        ExplainProbe(name, probe);
        return probe;
    }
    probe.ResultCode = selectPort();
    if (probe.ResultCode == 0)
        probe.ResultCode = device.Open();
    probe.Opened = probe.ResultCode == 0;
    if (probe.Opened) {
        probe.ResultCode = device.ReadDeviceId(&probe.Type);
        if (probe.ResultCode != 0)
            probe.Type = DEVICE_UNKNOWN;
        else if (reads == ProbeReads::DeviceTexts)
            ReadTexts(device, probe);
        device.Close();
    }
    if (probe.ResultCode != 0)
        probe.ResultText = device.GetResultText(probe.ResultCode, true);
    ExplainProbe(name, probe);
    if (!IsSupportedType(probe.Type))
        probe.Lock.reset();
    return probe;
}

PortProbe ProbePortOnOwnConnection(const CommandSetFactory& makeCommandSet, const std::string& name,
                                   const TSConnectParams& connection, const SleepFunction& sleeper,
                                   ProbeReads reads) {
    try {
        const std::unique_ptr<ClConnectPipetten> device =
            makeCommandSet ? makeCommandSet() : nullptr;
        if (!device)
            return PortProbe{};
        if (sleeper)
            device->SetSleeper(sleeper);
        device->SelectTransport(kSerialTransport);
        const auto selectPort = [&] {
            TSConnectParams params = connection;
            // A name that does not fit is left empty rather than cut into what could be another
            // port's name.
            ClToolsTextConvert().TextToBuffer(
                params.PortName, sizeof(params.PortName),
                name.size() < sizeof(params.PortName) ? name : std::string(), true);
            return device->SetParams(params);
        };
        return ProbeClaimedPort(*device, name, selectPort, reads);
    } catch (...) {
        // Out of memory for a connection: this port shows nothing, as one that cannot be opened.
        return PortProbe{};
    }
}

std::vector<PortProbe> ProbePortsAtOnce(const CommandSetFactory& makeCommandSet,
                                        const std::vector<std::string>& names,
                                        const TSConnectParams& connection,
                                        const SleepFunction& sleeper,
                                        const std::function<void(std::size_t finished)>& onFinished,
                                        ProbeReads reads) {
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
            probes.Threads.emplace_back([&, i] {
                record(i, ProbePortOnOwnConnection(makeCommandSet, names[i], connection, sleeper,
                                                   reads));
            });
        } catch (...) {
            // No thread to be had: this port is probed here, in turn, and still counted.
            record(i,
                   ProbePortOnOwnConnection(makeCommandSet, names[i], connection, sleeper, reads));
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
