#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>

#include "pseudoterminal.h"

namespace veltrin {
namespace {

// Vanished names held per simulator; far more than a test unplugs one device.
constexpr std::size_t kMaxReservedNames = 64;

// ptsname() uses a static buffer; several simulators may open ptys at once.
std::mutex& PtsNameMutex() {
    static std::mutex mutex;
    return mutex;
}

void CloseFd(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

int Milliseconds(std::chrono::microseconds duration) {
    const auto us = duration.count();
    if (us <= 0)
        return 0;
    const auto ms = (us + 999) / 1000;
    return ms > 1000000 ? 1000000 : static_cast<int>(ms);
}

int PollTimeout(std::chrono::milliseconds timeout) {
    if (timeout.count() < 0)
        return -1;
    return timeout.count() > 1000000 ? 1000000 : static_cast<int>(timeout.count());
}

}  // namespace

SimPseudoTerminal::SimPseudoTerminal() {
    int fds[2];
    if (::pipe(fds) == 0) {
        wakeRead_ = fds[0];
        wakeWrite_ = fds[1];
        for (int fd : fds) {
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
            ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        }
    }
}

SimPseudoTerminal::~SimPseudoTerminal() {
    Close();
    for (int& fd : reserved_)
        CloseFd(fd);
    CloseFd(wakeRead_);
    CloseFd(wakeWrite_);
}

int SimPseudoTerminal::OpenOne(int& master, int& slave, std::string& name) {
    master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0)
        return errno;
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        const int error = errno;
        CloseFd(master);
        return error;
    }
    std::string path;
    {
        std::lock_guard<std::mutex> lock(PtsNameMutex());
        const char* slavePath = ::ptsname(master);
        if (slavePath != nullptr)
            path = slavePath;
    }
    if (path.rfind("/dev/", 0) != 0) {
        CloseFd(master);
        return ENODEV;
    }
    slave = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios line{};
    if (slave < 0 || ::tcgetattr(slave, &line) != 0) {
        const int error = errno;
        CloseFd(slave);
        CloseFd(master);
        return error;
    }
    ::cfmakeraw(&line);
    ::tcsetattr(slave, TCSANOW, &line);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    name = path.substr(5);
    return 0;
}

int SimPseudoTerminal::Open() {
    Close();
    return OpenOne(master_, slave_, portName_);
}

void SimPseudoTerminal::Close() {
    CloseFd(master_);
    if (slave_ >= 0) {
        // Bounded for a long-lived simulator program that is unplugged again and again; the
        // oldest names matter least, the last one is never given up here.
        if (reserved_.size() >= kMaxReservedNames) {
            CloseFd(reserved_.front());
            reserved_.erase(reserved_.begin());
        }
        reserved_.push_back(slave_);
        slave_ = -1;
    }
    portName_.clear();
}

SimPseudoTerminal::WaitResult SimPseudoTerminal::WaitReadable(std::chrono::milliseconds timeout) {
    pollfd fds[2] = {{wakeRead_, POLLIN, 0}, {master_, POLLIN, 0}};
    const nfds_t count = master_ >= 0 ? 2 : 1;
    int ready;
    do {
        ready = ::poll(fds, count, PollTimeout(timeout));
    } while (ready < 0 && errno == EINTR);
    if (ready < 0)
        return WaitResult::Failed;
    if (ready == 0)
        return WaitResult::TimedOut;
    if (fds[0].revents != 0)
        return WaitResult::Woken;
    if ((fds[1].revents & POLLIN) != 0)
        return WaitResult::Readable;
    return WaitResult::Failed;
}

bool SimPseudoTerminal::Pause(std::chrono::microseconds duration) {
    pollfd wake = {wakeRead_, POLLIN, 0};
    int ready;
    do {
        ready = ::poll(&wake, 1, Milliseconds(duration));
    } while (ready < 0 && errno == EINTR);
    return ready <= 0;
}

long SimPseudoTerminal::Read(std::uint8_t* buffer, std::size_t size) {
    if (master_ < 0)
        return -EBADF;
    ssize_t n;
    do {
        n = ::read(master_, buffer, size);
    } while (n < 0 && errno == EINTR);
    if (n >= 0)
        return static_cast<long>(n);
    if (errno == EAGAIN || errno == EWOULDBLOCK)
        return 0;
    return -errno;
}

int SimPseudoTerminal::Write(const std::uint8_t* data, std::size_t size,
                             std::chrono::milliseconds timeout) {
    if (master_ < 0)
        return EBADF;
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(master_, data + done, size - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return errno;
        // The host is not reading and the line is full: wait for room, a wake-up or the end.
        pollfd fds[2] = {{wakeRead_, POLLIN, 0}, {master_, POLLOUT, 0}};
        int ready;
        do {
            ready = ::poll(fds, 2, PollTimeout(timeout));
        } while (ready < 0 && errno == EINTR);
        if (ready < 0)
            return errno;
        if (ready == 0)
            return ETIMEDOUT;
        if (fds[0].revents != 0)
            return ECANCELED;
    }
    return 0;
}

void SimPseudoTerminal::Wake() {
    const char byte = 1;
    // A full pipe is already signalled; nothing else can fail usefully here.
    [[maybe_unused]] const ssize_t n = ::write(wakeWrite_, &byte, 1);
}

void SimPseudoTerminal::ClearWake() {
    char buffer[64];
    while (::read(wakeRead_, buffer, sizeof buffer) > 0) {
    }
}

}  // namespace veltrin
