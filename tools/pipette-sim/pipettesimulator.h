#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "faultplan.h"
#include "framereceiver.h"
#include "pseudoterminal.h"
#include "simdevice.h"
#include "simoptions.h"

namespace veltrin {

// A simulated pipette on a pseudo-terminal: the device side of the serial protocol (framing,
// ACK/NAK, the 21 commands), the device's state and memories, restarts, unplugging and injected
// faults. A worker thread serves the line; every public operation is thread-safe.
//
//     PipetteSimulator sim(options);
//     sim.Start();
//     open("/dev/" + sim.PortName()) ... exchange frames ...
//     sim.WaitForRequests(n, 2s); sim.State(); sim.Memory(MEM_EXT_FLASH);
class PipetteSimulator {
public:
    using Clock = std::chrono::steady_clock;
    using RequestListener = std::function<void(const SimRequest&)>;
    using PortListener = std::function<void(const std::string& portName)>;

    explicit PipetteSimulator(SimOptions options = {});
    ~PipetteSimulator();
    PipetteSimulator(const PipetteSimulator&) = delete;
    PipetteSimulator& operator=(const PipetteSimulator&) = delete;

    // Plugs the device in (a new pty) and starts serving it. 0 or the system's error number.
    int Start();
    // Stops serving and unplugs; state, memories and logs stay readable.
    void Stop();
    bool IsRunning() const;

    // "pts/7" (what a host puts after "/dev/"), empty while unplugged.
    std::string PortName() const;
    std::string DevicePath() const;

    // Unplug closes the pty (a host sees a hang-up). Plug creates a new pty under a new name and
    // boots the device from its boot record, keeping its state. 0 or the system's error number.
    int Unplug();
    int Plug();

    SimDeviceState State() const;
    // Changes the device state under the simulator's lock (before or during a run).
    void EditState(const std::function<void(SimDeviceState&)>& edit);
    std::vector<SimRequest> Requests() const;
    std::vector<SimWrittenBlock> WrittenBlocks() const;
    // A snapshot of one memory (0 internal flash, 1 external flash, 2/3 EEPROMs).
    SimMemory Memory(int memoryType) const;
    // count bytes of one memory from address on, erased bytes (0xFF) where nothing was written.
    std::vector<std::uint8_t> ReadMemory(int memoryType, std::uint32_t address,
                                         std::uint32_t count) const;

    // True once the request log holds at least count entries.
    bool WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const;
    // True once the predicate holds for the state (checked after every change).
    bool WaitForState(const std::function<bool(const SimDeviceState&)>& predicate,
                      std::chrono::milliseconds timeout) const;

    // Called on the worker thread after each logged request, outside the simulator's lock.
    void SetRequestListener(RequestListener listener);
    // Called on the worker thread once a WriteMemory block has been acknowledged, before its
    // answer goes out: a test holds the device in the middle of a write while it does something
    // to the host (within the host's answer time-out, 10 s for the updater).
    void SetWriteHold(std::function<void()> hold);
    // Called with the new port name after every plug, and with "" after every unplug.
    void SetPortListener(PortListener listener);

    const SimOptions& Options() const { return options_; }

private:
    // Control side (callers hold controlMutex_; the worker is paused while they change things).
    void PauseWorker();
    void ResumeWorker();
    int PlugIn(bool boot);
    void UnplugNow();

    // Worker side.
    void RunWorker();
    void ServeInput(const std::uint8_t* bytes, std::size_t count);
    void HandleFrame(const std::string& text, bool overflowed, Clock::time_point arrival);
    void Send(const std::vector<std::uint8_t>& bytes);
    void Send(const std::string& frame);
    void WaitUntil(Clock::time_point deadline);
    void FinishRestart();
    void Log(SimRequest request);
    std::optional<Clock::time_point> NextDeadline() const;
    Clock::duration ByteTime() const;

    void NotifyPort(const std::string& portName);

    const SimOptions options_;
    const Clock::time_point created_;

    mutable std::mutex mutex_;  // guards device_ and requests_
    mutable std::condition_variable changed_;
    SimDevice device_;
    std::vector<SimRequest> requests_;

    std::mutex listenerMutex_;
    RequestListener requestListener_;
    std::function<void()> writeHold_;
    PortListener portListener_;

    mutable std::mutex controlMutex_;  // serialises Start, Stop, Plug and Unplug
    bool running_ = false;
    bool everPlugged_ = false;
    std::thread worker_;
    std::atomic<bool> pauseRequested_{false};

    // Owned by the worker while it runs, by the control side while it is paused.
    SimPseudoTerminal pty_;
    SimFaultPlan faults_;
    SimFrameReceiver receiver_;
    std::uint32_t sequence_ = 0;
    std::optional<Clock::time_point> restartEnd_;
    std::optional<Clock::time_point> replugAt_;
    Clock::time_point rxFreeAt_{};
};

}  // namespace veltrin
