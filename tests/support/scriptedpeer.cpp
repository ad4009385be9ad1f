#include "support/scriptedpeer.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace veltrin::testsupport {

namespace {
constexpr char kEtx = 0x03;
}  // namespace

std::string Printable(const std::string& bytes) {
    std::string text;
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F) {
            text += c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "<%02x>", u);
            text += hex;
        }
    }
    return text;
}

ScriptedPeer::ScriptedPeer(PtyPair& pty, std::chrono::milliseconds stepTimeout)
    : pty_(pty), stepTimeout_(stepTimeout) {
    if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0)
        wake_[0] = wake_[1] = -1;
}

ScriptedPeer::~ScriptedPeer() {
    Stop();
    for (int fd : wake_) {
        if (fd >= 0)
            ::close(fd);
    }
}

ScriptedPeer& ScriptedPeer::Expect(std::string bytes) {
    steps_.push_back({Step::kExpect, std::move(bytes), {}, {}, 0});
    return *this;
}
ScriptedPeer& ScriptedPeer::ExpectFrame() {
    steps_.push_back({Step::kExpectFrame, {}, {}, {}, 0});
    return *this;
}
ScriptedPeer& ScriptedPeer::Reply(std::string bytes) {
    steps_.push_back({Step::kReply, std::move(bytes), {}, {}, 0});
    return *this;
}
ScriptedPeer& ScriptedPeer::Delay(std::chrono::milliseconds pause) {
    steps_.push_back({Step::kDelay, {}, pause, {}, 0});
    return *this;
}
ScriptedPeer& ScriptedPeer::Stream(char fill, std::size_t limit) {
    steps_.push_back({Step::kStream, std::string(4096, fill), {}, {}, limit});
    return *this;
}
ScriptedPeer& ScriptedPeer::Serve(Handler handler) {
    steps_.push_back({Step::kServe, {}, {}, std::move(handler), 0});
    return *this;
}
ScriptedPeer& ScriptedPeer::Hangup() {
    steps_.push_back({Step::kHangup, {}, {}, {}, 0});
    return *this;
}

void ScriptedPeer::Start() {
    if (wake_[0] < 0) {
        Fail("no wake-up pipe");
        return;
    }
    thread_ = std::thread([this] { Run(); });
}

void ScriptedPeer::Finish() {
    if (thread_.joinable())
        thread_.join();
}

void ScriptedPeer::Stop() {
    stop_ = true;
    if (wake_[1] >= 0) {
        [[maybe_unused]] const ssize_t ignored = ::write(wake_[1], "x", 1);
    }
    Finish();
}

void ScriptedPeer::Fail(std::string what) {
    failures_.push_back(std::move(what));
}

void ScriptedPeer::Run() {
    for (const Step& step : steps_) {
        if (stop_ || !RunStep(step))
            break;
    }
}

bool ScriptedPeer::RunStep(const Step& step) {
    const Clock::time_point end = Clock::now() + stepTimeout_;
    switch (step.kind) {
        case Step::kExpect: {
            while (pending_.size() < step.bytes.size()) {
                if (Fill(end) != Io::kOk) {
                    Fail("expected " + Printable(step.bytes) + ", got only " + Printable(pending_));
                    return false;
                }
            }
            const std::string got = pending_.substr(0, step.bytes.size());
            pending_.erase(0, step.bytes.size());
            received_ += got;
            if (got != step.bytes) {
                Fail("expected " + Printable(step.bytes) + ", got " + Printable(got));
                return false;
            }
            return true;
        }
        case Step::kExpectFrame: {
            std::string frame;
            if (ReadFrame(frame, end) != Io::kOk) {
                Fail("no complete frame, got " + Printable(pending_));
                return false;
            }
            return true;
        }
        case Step::kReply:
            if (WriteAll(step.bytes, end) != Io::kOk) {
                Fail("could not send " + Printable(step.bytes));
                return false;
            }
            return true;
        case Step::kDelay: {
            pollfd wake{wake_[0], POLLIN, 0};
            ::poll(&wake, 1, static_cast<int>(step.pause.count()));
            return !stop_;
        }
        case Step::kStream:
            // Until the reader gives up and the test stops the peer.
            while (!stop_ && streamed_ < step.limit &&
                   WriteAll(step.bytes, Clock::time_point::max()) == Io::kOk) {
                streamed_ += step.bytes.size();
            }
            return false;
        case Step::kServe: {
            std::string frame;
            while (ReadFrame(frame, Clock::time_point::max()) == Io::kOk) {
                if (WriteAll(step.handler(frame), Clock::time_point::max()) != Io::kOk)
                    break;
            }
            return false;
        }
        case Step::kHangup:
            pty_.CloseMaster();
            return true;
    }
    return false;
}

ScriptedPeer::Io ScriptedPeer::Fill(Clock::time_point end) {
    while (true) {
        const int fd = pty_.Master();
        if (fd < 0)
            return Io::kClosed;
        char buffer[4096];
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0) {
            pending_.append(buffer, static_cast<std::size_t>(got));
            return Io::kOk;
        }
        // EIO: the slave side is not open (yet, or any more); wait for it like for data.
        if (got < 0 && errno != EAGAIN && errno != EINTR && errno != EIO)
            return Io::kClosed;
        const Io wait = WaitFor(POLLIN, end);
        if (wait != Io::kOk)
            return wait;
    }
}

ScriptedPeer::Io ScriptedPeer::ReadFrame(std::string& frame, Clock::time_point end) {
    std::size_t etx;
    while ((etx = pending_.find(kEtx)) == std::string::npos) {
        const Io result = Fill(end);
        if (result != Io::kOk)
            return result;
    }
    frame = pending_.substr(0, etx + 1);
    pending_.erase(0, etx + 1);
    received_ += frame;
    return Io::kOk;
}

ScriptedPeer::Io ScriptedPeer::WriteAll(const std::string& bytes, Clock::time_point end) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const int fd = pty_.Master();
        if (fd < 0)
            return Io::kClosed;
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written > 0) {
            done += static_cast<std::size_t>(written);
            continue;
        }
        if (written < 0 && errno != EAGAIN && errno != EINTR)
            return Io::kClosed;
        const Io wait = WaitFor(POLLOUT, end);
        if (wait != Io::kOk)
            return wait;
    }
    return Io::kOk;
}

ScriptedPeer::Io ScriptedPeer::WaitFor(short events, Clock::time_point end) {
    while (true) {
        const int fd = pty_.Master();
        if (fd < 0)
            return Io::kClosed;
        int timeout = -1;
        if (end != Clock::time_point::max()) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now());
            if (left.count() <= 0)
                return Io::kTimeout;
            timeout = static_cast<int>(left.count());
        }
        pollfd fds[2] = {{fd, events, 0}, {wake_[0], POLLIN, 0}};
        const int ready = ::poll(fds, 2, timeout);
        if (stop_)
            return Io::kStopped;
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            return Io::kClosed;
        }
        if (ready == 0)
            continue;  // the time-out is checked above
        if ((fds[0].revents & events) != 0)
            return Io::kOk;
        if ((fds[0].revents & POLLNVAL) != 0)
            return Io::kClosed;
        // Hang-up: nobody has the slave open right now. Look again shortly, the port under test
        // may be about to open it.
        ::poll(nullptr, 0, 1);
    }
}

}  // namespace veltrin::testsupport
