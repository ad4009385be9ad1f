#include "pipettesimulator.h"

#include <utility>

namespace veltrin {

PipetteSimulator::PipetteSimulator(SimOptions options)
    : options_(std::move(options)), created_(Clock::now()), faults_(options_.Faults) {
    device_.State = MakeInitialState(options_);
}

PipetteSimulator::~PipetteSimulator() {
    // No callbacks out of a dying simulator: their targets may already be gone.
    SetRequestListener(nullptr);
    SetPortListener(nullptr);
    Stop();
}

int PipetteSimulator::Start() {
    std::lock_guard<std::mutex> control(controlMutex_);
    if (running_)
        return 0;
    if (!pty_.IsOpen()) {
        // The first start powers the device up as configured; a later one is a power cycle.
        const int result = PlugIn(everPlugged_);
        if (result != 0)
            return result;
    }
    running_ = true;
    ResumeWorker();
    return 0;
}

void PipetteSimulator::Stop() {
    std::lock_guard<std::mutex> control(controlMutex_);
    PauseWorker();
    running_ = false;
    if (pty_.IsOpen())
        UnplugNow();
}

bool PipetteSimulator::IsRunning() const {
    std::lock_guard<std::mutex> control(controlMutex_);
    return running_;
}

std::string PipetteSimulator::PortName() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return device_.State.PortName;
}

std::string PipetteSimulator::DevicePath() const {
    const std::string name = PortName();
    return name.empty() ? std::string() : "/dev/" + name;
}

int PipetteSimulator::Unplug() {
    std::lock_guard<std::mutex> control(controlMutex_);
    PauseWorker();
    replugAt_.reset();
    if (pty_.IsOpen())
        UnplugNow();
    if (running_)
        ResumeWorker();
    return 0;
}

int PipetteSimulator::Plug() {
    std::lock_guard<std::mutex> control(controlMutex_);
    PauseWorker();
    replugAt_.reset();
    int result = 0;
    if (!pty_.IsOpen())
        result = PlugIn(true);
    if (running_)
        ResumeWorker();
    return result;
}

void PipetteSimulator::PauseWorker() {
    if (!worker_.joinable())
        return;
    pauseRequested_ = true;
    pty_.Wake();
    worker_.join();
    pauseRequested_ = false;
    pty_.ClearWake();
}

void PipetteSimulator::ResumeWorker() {
    worker_ = std::thread([this] { RunWorker(); });
}

int PipetteSimulator::PlugIn(bool boot) {
    const int result = pty_.Open();
    if (result != 0)
        return result;
    everPlugged_ = true;
    receiver_.Reset();
    restartEnd_.reset();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        device_.State.Plugged = true;
        device_.State.PortName = pty_.PortName();
        if (boot)
            BootDevice(device_);
    }
    changed_.notify_all();
    NotifyPort(pty_.PortName());
    return 0;
}

void PipetteSimulator::UnplugNow() {
    // The state says unplugged before the line drops: a host that saw the hang-up and reports
    // it must find the device gone when its caller looks.
    {
        std::lock_guard<std::mutex> lock(mutex_);
        device_.State.Plugged = false;
        device_.State.Restarting = false;
        device_.State.PortName.clear();
    }
    pty_.Close();
    receiver_.Reset();
    restartEnd_.reset();
    changed_.notify_all();
    NotifyPort(std::string());
}

SimDeviceState PipetteSimulator::State() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return device_.State;
}

void PipetteSimulator::EditState(const std::function<void(SimDeviceState&)>& edit) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        edit(device_.State);
    }
    changed_.notify_all();
}

std::vector<SimRequest> PipetteSimulator::Requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

std::vector<SimWrittenBlock> PipetteSimulator::WrittenBlocks() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return device_.Blocks;
}

SimMemory PipetteSimulator::Memory(int memoryType) const {
    if (memoryType < 0 || memoryType >= kSimMemoryTypeCount)
        return SimMemory();
    std::lock_guard<std::mutex> lock(mutex_);
    return device_.Memories[static_cast<std::size_t>(memoryType)];
}

std::vector<std::uint8_t> PipetteSimulator::ReadMemory(int memoryType, std::uint32_t address,
                                                       std::uint32_t count) const {
    if (memoryType < 0 || memoryType >= kSimMemoryTypeCount) {
        return std::vector<std::uint8_t>(count, SimMemory::kErased);
    }
    std::lock_guard<std::mutex> lock(mutex_);
    return device_.Memories[static_cast<std::size_t>(memoryType)].Read(address, count);
}

bool PipetteSimulator::WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return requests_.size() >= count; });
}

bool PipetteSimulator::WaitForState(const std::function<bool(const SimDeviceState&)>& predicate,
                                    std::chrono::milliseconds timeout) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return predicate(device_.State); });
}

void PipetteSimulator::SetRequestListener(RequestListener listener) {
    std::lock_guard<std::mutex> lock(listenerMutex_);
    requestListener_ = std::move(listener);
}

void PipetteSimulator::SetWriteHold(std::function<void()> hold) {
    std::lock_guard<std::mutex> lock(listenerMutex_);
    writeHold_ = std::move(hold);
}

void PipetteSimulator::SetPortListener(PortListener listener) {
    std::lock_guard<std::mutex> lock(listenerMutex_);
    portListener_ = std::move(listener);
}

void PipetteSimulator::NotifyPort(const std::string& portName) {
    PortListener listener;
    {
        std::lock_guard<std::mutex> lock(listenerMutex_);
        listener = portListener_;
    }
    if (listener)
        listener(portName);
}

}  // namespace veltrin
