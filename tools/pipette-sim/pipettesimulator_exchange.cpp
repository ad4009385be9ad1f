// The worker side of the simulator: reading the line, framing, faults, answers and restarts.
#include <algorithm>
#include <utility>

#include "pipettesimulator.h"
#include "simframe.h"

namespace veltrin {
namespace {

// Sent instead of ACK by the garbage fault: neither ACK, NAK, STX nor ETX.
constexpr std::uint8_t kGarbageByte = 0x3F;
// How long an answer may wait for room on a line nobody reads before it is dropped.
constexpr std::chrono::milliseconds kWriteTimeout{2000};

std::uint16_t Uint16At(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

// The memory type a request names (WriteMemory, ReadMemoryInfo), for memory-specific faults.
int MemoryTypeOf(const std::vector<std::uint8_t>& message) {
    if (message.size() >= 20 && Uint16At(message, 4) == SIM_WRITE_MEMORY) {
        return Uint16At(message, 18);
    }
    if (message.size() >= 12 && Uint16At(message, 4) == SIM_READ_MEMORY_INFO) {
        return Uint16At(message, 10);
    }
    return -1;
}

// What goes out after the ACK: the answer frame, shaped by an answer fault.
std::string AnswerBytes(const SimAnswer& answer, const std::optional<SimFault>& fault) {
    const SimFaultKind kind = fault ? fault->Kind : SimFaultKind::Nak;
    if (fault && kind == SimFaultKind::ShortAnswer) {
        std::vector<std::uint8_t> cut = answer.Message;
        if (cut.size() > fault->Length)
            cut.resize(fault->Length);
        if (cut.size() >= 2) {
            cut[0] = static_cast<std::uint8_t>(cut.size() & 0xFF);
            cut[1] = static_cast<std::uint8_t>(cut.size() >> 8);
        }
        return EncodeAnswerFrame(cut, false);
    }
    std::string frame =
        EncodeAnswerFrame(answer.Message, fault && kind == SimFaultKind::BadChecksum);
    if (fault && kind == SimFaultKind::Unterminated) {
        frame.pop_back();
        frame.append(fault->Length, 'F');
    }
    return frame;
}

SimOutcome AnsweredOutcome(const std::optional<SimFault>& fault) {
    if (!fault)
        return SimOutcome::Answered;
    switch (fault->Kind) {
        case SimFaultKind::BadChecksum:
            return SimOutcome::BadChecksum;
        case SimFaultKind::ShortAnswer:
            return SimOutcome::ShortAnswer;
        case SimFaultKind::Unterminated:
            return SimOutcome::Unterminated;
        default:
            return SimOutcome::Answered;
    }
}

}  // namespace

PipetteSimulator::Clock::duration PipetteSimulator::ByteTime() const {
    // 8N1: a start bit, eight data bits and a stop bit per byte.
    return std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(10.0 / static_cast<double>(options_.BaudRate)));
}

std::optional<PipetteSimulator::Clock::time_point> PipetteSimulator::NextDeadline() const {
    if (restartEnd_ && replugAt_)
        return std::min(*restartEnd_, *replugAt_);
    return restartEnd_ ? restartEnd_ : replugAt_;
}

void PipetteSimulator::RunWorker() {
    std::uint8_t buffer[4096];
    while (!pauseRequested_) {
        const Clock::time_point now = Clock::now();
        if (restartEnd_ && now >= *restartEnd_)
            FinishRestart();
        if (replugAt_ && now >= *replugAt_) {
            replugAt_.reset();
            if (PlugIn(true) != 0)
                replugAt_ = now + std::chrono::milliseconds(100);
        }
        std::chrono::milliseconds timeout{-1};
        if (const auto deadline = NextDeadline()) {
            timeout = std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now());
            if (timeout.count() < 0)
                timeout = std::chrono::milliseconds(0);
        }
        switch (pty_.WaitReadable(timeout)) {
            case SimPseudoTerminal::WaitResult::Readable: {
                const long n = pty_.Read(buffer, sizeof buffer);
                if (n > 0)
                    ServeInput(buffer, static_cast<std::size_t>(n));
                break;
            }
            case SimPseudoTerminal::WaitResult::Woken:
                if (!pauseRequested_)
                    pty_.ClearWake();
                break;
            case SimPseudoTerminal::WaitResult::TimedOut:
                break;
            case SimPseudoTerminal::WaitResult::Failed:
                // Never spin on a broken descriptor.
                pty_.Pause(std::chrono::milliseconds(10));
                break;
        }
    }
}

void PipetteSimulator::ServeInput(const std::uint8_t* bytes, std::size_t count) {
    const Clock::time_point readAt = Clock::now();
    // The restart may have ended while this thread waited for the CPU after its last look at the
    // clock; bytes read after the silence belong to the booted device.
    if (restartEnd_ && readAt >= *restartEnd_)
        FinishRestart();
    for (std::size_t i = 0; i < count && pty_.IsOpen() && !pauseRequested_; ++i) {
        // A restarting device hears nothing.
        if (restartEnd_)
            continue;
        Clock::time_point arrival = readAt;
        if (options_.BaudRate != 0) {
            arrival = std::max(readAt, rxFreeAt_) + ByteTime();
            rxFreeAt_ = arrival;
        }
        if (receiver_.Feed(bytes[i])) {
            HandleFrame(receiver_.Text(), receiver_.Overflowed(), arrival);
        }
    }
}

void PipetteSimulator::HandleFrame(const std::string& text, bool overflowed,
                                   Clock::time_point arrival) {
    // With a throttled line the frame is complete only when its last byte has come over it.
    if (options_.BaudRate != 0)
        WaitUntil(arrival);
    if (pauseRequested_)
        return;

    SimRequest request;
    request.Sequence = ++sequence_;
    request.TimeMs = std::chrono::duration<double, std::milli>(Clock::now() - created_).count();
    std::vector<std::uint8_t> message;
    const SimFrameError error =
        overflowed ? SimFrameError::TooLong : DecodeRequestText(text, message);
    int command = -1;
    if (error == SimFrameError::None && message.size() >= 6) {
        command = Uint16At(message, 4);
        request.Command = static_cast<std::uint16_t>(command);
    }
    request.Length = static_cast<std::uint32_t>(message.size());
    request.Head.assign(
        message.begin(),
        message.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(message.size(), 20)));
    {
        std::lock_guard<std::mutex> lock(mutex_);
        request.Mode = device_.State.Mode;
    }
    const std::optional<SimFault> fault = faults_.Next(command, MemoryTypeOf(message));
    const SimFaultKind kind = fault ? fault->Kind : SimFaultKind::Nak;

    if (fault && kind == SimFaultKind::HangUp) {
        request.Outcome = SimOutcome::HangUp;
        // Logged before the line drops, like an answer before it goes out.
        Log(std::move(request));
        UnplugNow();
        if (options_.ReplugAfterMs >= 0) {
            replugAt_ = Clock::now() + std::chrono::milliseconds(options_.ReplugAfterMs);
        }
        return;
    }
    if (fault && (kind == SimFaultKind::Nak || kind == SimFaultKind::Garbage ||
                  kind == SimFaultKind::Silence)) {
        request.Outcome = kind == SimFaultKind::Nak       ? SimOutcome::Nak
                          : kind == SimFaultKind::Garbage ? SimOutcome::Garbage
                                                          : SimOutcome::Silence;
        Log(std::move(request));
        if (kind == SimFaultKind::Nak)
            Send(std::vector<std::uint8_t>{kSimNak});
        if (kind == SimFaultKind::Garbage)
            Send(std::vector<std::uint8_t>{kGarbageByte});
        return;
    }
    if (error != SimFrameError::None) {
        // A frame that did not arrive intact is refused; a fault that shapes an answer
        // cannot be applied to it.
        request.Outcome = SimOutcome::BadFrame;
        Log(std::move(request));
        Send(std::vector<std::uint8_t>{kSimNak});
        return;
    }

    SimAnswer answer;
    if (fault && kind == SimFaultKind::Status) {
        answer = StatusAnswer(static_cast<std::uint16_t>(command), fault->Status);
        request.Outcome = SimOutcome::Status;
    } else {
        std::lock_guard<std::mutex> lock(mutex_);
        answer = ExecuteRequest(message, device_);
        if (answer.Restart)
            device_.State.Restarting = true;
        request.Outcome = AnsweredOutcome(fault);
    }
    request.Status = answer.Status;
    // Logged before the answer goes out, so a host that has its answer finds it in the log.
    Log(std::move(request));

    Send(std::vector<std::uint8_t>{kSimAck});
    if (command == SIM_WRITE_MEMORY && options_.FlashWriteMs != 0) {
        WaitUntil(Clock::now() + std::chrono::milliseconds(options_.FlashWriteMs));
    }
    if (command == SIM_WRITE_MEMORY) {
        std::function<void()> hold;
        {
            std::lock_guard<std::mutex> lock(listenerMutex_);
            hold = writeHold_;
        }
        if (hold)
            hold();
    }
    const std::string answerBytes = AnswerBytes(answer, fault);
    // The silence is counted from when the answer is due at the host, not from when this
    // thread got the CPU back after sending it: a host that waits out the silence after
    // receiving the answer must never find the device still restarting.
    const Clock::time_point answered =
        Clock::now() + (options_.BaudRate != 0 ? ByteTime() * static_cast<long>(answerBytes.size())
                                               : Clock::duration::zero());
    Send(answerBytes);
    if (answer.Restart) {
        restartEnd_ = answered + std::chrono::milliseconds(options_.RestartSilenceMs);
        receiver_.Reset();
        if (options_.RestartSilenceMs == 0)
            FinishRestart();
    }
}

void PipetteSimulator::FinishRestart() {
    restartEnd_.reset();
    receiver_.Reset();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        BootDevice(device_);
    }
    changed_.notify_all();
}

void PipetteSimulator::Log(SimRequest request) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(request);
    }
    changed_.notify_all();
    RequestListener listener;
    {
        std::lock_guard<std::mutex> lock(listenerMutex_);
        listener = requestListener_;
    }
    if (listener)
        listener(request);
}

void PipetteSimulator::Send(const std::string& frame) {
    Send(std::vector<std::uint8_t>(frame.begin(), frame.end()));
}

void PipetteSimulator::Send(const std::vector<std::uint8_t>& bytes) {
    if (!pty_.IsOpen())
        return;
    if (options_.BaudRate == 0) {
        pty_.Write(bytes.data(), bytes.size(), kWriteTimeout);
        return;
    }
    // Paced in slices of about a millisecond of line time against one start time, so that the
    // rounding of each pause does not add up.
    const std::size_t slice = std::max<std::size_t>(1, options_.BaudRate / 10 / 1000);
    const Clock::time_point start = Clock::now();
    for (std::size_t done = 0; done < bytes.size() && !pauseRequested_;) {
        const std::size_t n = std::min(slice, bytes.size() - done);
        if (pty_.Write(bytes.data() + done, n, kWriteTimeout) != 0)
            return;
        done += n;
        WaitUntil(start + ByteTime() * static_cast<long>(done));
    }
}

void PipetteSimulator::WaitUntil(Clock::time_point deadline) {
    for (Clock::time_point now = Clock::now(); now < deadline && !pauseRequested_;
         now = Clock::now()) {
        const auto left = std::chrono::ceil<std::chrono::microseconds>(deadline - now);
        // The wake-up wait has millisecond steps; the last stretch of a byte-paced line is
        // slept exactly instead (it is too short to delay a stop noticeably).
        if (left < std::chrono::milliseconds(2)) {
            std::this_thread::sleep_for(left);
        } else if (!pty_.Pause(left - std::chrono::milliseconds(1)) && !pauseRequested_) {
            pty_.ClearWake();
        }
    }
}

}  // namespace veltrin
