// The serial port over the Linux tty layer. Line settings go through the kernel's termios2
// interface (TCGETS2/TCSETS2), the only one that takes any bit rate rather than the fixed Bnnn
// steps, so the C library's termios functions are not used here at all.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "transport/deadline.h"
#include "transport/linesettings_posix.h"
#include "transport/portname.h"
#include "transport/serialport.h"

namespace veltrin {

namespace {

class PosixSerialPort final : public SerialPort {
public:
    PosixSerialPort() = default;
    ~PosixSerialPort() override { Close(); }
    PosixSerialPort(const PosixSerialPort&) = delete;
    PosixSerialPort& operator=(const PosixSerialPort&) = delete;

    void SetName(std::string_view name) override { name_ = BarePortName(name); }
    void SetBaudRate(std::uint32_t baudRate) override { line_.BaudRate = baudRate; }
    void SetByteSize(std::int32_t dataBits) override { line_.ByteSize = dataBits; }
    void SetStopBits(std::uint32_t stopBits) override { line_.StopBits = stopBits; }
    void SetParity(std::uint32_t parity) override { line_.Parity = parity; }

    int Open() override;
    int Close() override;
    bool IsOpen() const override { return fd_ >= 0; }

    int DiscardInput() override { return Flush(TCIFLUSH); }
    int PurgeOutput() override { return Flush(TCOFLUSH); }
    int WaitWriteComplete() override;

    void SetWriteTimeout(std::uint32_t milliseconds) override { writeTimeout_ = milliseconds; }
    int WriteByte(std::uint8_t byte) override { return WriteAll(&byte, 1); }
    int WriteText(const char* text, std::size_t length) override {
        return WriteAll(reinterpret_cast<const std::uint8_t*>(text), length);
    }

    int SetReadTimeout(std::uint32_t milliseconds) override {
        readTimeout_ = milliseconds;
        return 0;
    }
    int ReadByte(std::uint8_t& byte) override;

private:
    int Claim(int fd);
    int Flush(int queue);
    int WriteAll(const std::uint8_t* data, std::size_t length);
    int WaitFor(short events, const Deadline& deadline) const;

    std::string name_;
    LineSettings line_;
    std::uint32_t readTimeout_ = 0;
    std::uint32_t writeTimeout_ = 0;
    int fd_ = -1;
    termios2 saved_{};
};

int PosixSerialPort::Open() {
    if (fd_ >= 0)
        return 0;
    if (name_.empty())
        return ENOENT;
    const std::string path = "/dev/" + name_;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int result = Claim(fd);
    if (result != 0) {
        ::close(fd);
        return result;
    }
    fd_ = fd;
    return 0;
}

// Makes a freshly opened device ours and configures it; on failure the caller closes fd.
int PosixSerialPort::Claim(int fd) {
    // TIOCEXCL alone does not stop a privileged process, and it says nothing to programs that
    // honour the usual advisory lock; the lock also refuses a second open from this process.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return errno;
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return errno;
    if (!S_ISCHR(info.st_mode))
        return ENOTTY;
    if (::ioctl(fd, TCGETS2, &saved_) != 0)
        return errno;
    if (::ioctl(fd, TIOCEXCL) != 0)
        return errno;

    termios2 wanted = saved_;
    int result = MakeRawLine(wanted, line_);
    if (result == 0 && ::ioctl(fd, TCSETS2, &wanted) != 0)
        result = errno;
    termios2 applied{};
    if (result == 0 && ::ioctl(fd, TCGETS2, &applied) != 0)
        result = errno;
    // A driver takes what it cannot do without complaint and runs the line its own way.
    if (result == 0 && !FramingAccepted(wanted, applied))
        result = EINVAL;
    // Whatever arrived or was queued under the old settings is not part of any exchange.
    if (result == 0 && ::ioctl(fd, TCFLSH, TCIOFLUSH) != 0)
        result = errno;
    if (result != 0) {
        ::ioctl(fd, TCSETS2, &saved_);
        ::ioctl(fd, TIOCNXCL);
    }
    return result;
}

int PosixSerialPort::Close() {
    if (fd_ < 0)
        return 0;
    // Both fail on a device that has gone away; closing still releases it.
    ::ioctl(fd_, TCSETS2, &saved_);
    ::ioctl(fd_, TIOCNXCL);
    const int result = ::close(fd_);
    fd_ = -1;
    // After EINTR the descriptor is released all the same on Linux.
    return result != 0 && errno != EINTR ? errno : 0;
}

int PosixSerialPort::Flush(int queue) {
    if (fd_ < 0)
        return EBADF;
    return ::ioctl(fd_, TCFLSH, queue) == 0 ? 0 : errno;
}

// tcdrain() can wait forever on a line that never drains, so the queue is watched instead.
int PosixSerialPort::WaitWriteComplete() {
    if (fd_ < 0)
        return EBADF;
    const Deadline deadline(writeTimeout_);
    while (true) {
        int queued = 0;
        if (::ioctl(fd_, TIOCOUTQ, &queued) != 0)
            return errno;
        if (queued <= 0)
            return 0;
        if (deadline.Expired())
            return ETIMEDOUT;
        // The driver signals no wake-up when its queue drains; look again shortly.
        const int remaining = deadline.RemainingMs();
        ::poll(nullptr, 0, remaining < 0 ? 1 : std::min(remaining, 1));
    }
}

int PosixSerialPort::WriteAll(const std::uint8_t* data, std::size_t length) {
    if (fd_ < 0)
        return EBADF;
    const Deadline deadline(writeTimeout_);
    std::size_t done = 0;
    while (done < length) {
        const ssize_t written = ::write(fd_, data + done, length - done);
        if (written > 0) {
            done += static_cast<std::size_t>(written);
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return errno;
        const int wait = WaitFor(POLLOUT, deadline);
        if (wait != 0)
            return wait;
    }
    return 0;
}

int PosixSerialPort::ReadByte(std::uint8_t& byte) {
    if (fd_ < 0)
        return EBADF;
    const Deadline deadline(readTimeout_);
    while (true) {
        const ssize_t got = ::read(fd_, &byte, 1);
        if (got == 1)
            return 0;
        if (got == 0)
            return EIO;  // the line was hung up
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            return errno;
        const int wait = WaitFor(POLLIN, deadline);
        if (wait != 0)
            return wait;
    }
}

int PosixSerialPort::WaitFor(short events, const Deadline& deadline) const {
    while (true) {
        pollfd entry{fd_, events, 0};
        const int ready = ::poll(&entry, 1, deadline.RemainingMs());
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (ready == 0) {
            if (deadline.Expired())
                return ETIMEDOUT;
            continue;
        }
        if ((entry.revents & events) != 0)
            return 0;
        if ((entry.revents & POLLNVAL) != 0)
            return EBADF;
        return EIO;  // error or hang-up with nothing left to read or room to write
    }
}

}  // namespace

std::unique_ptr<SerialPort> CreateSerialPort() {
    return std::make_unique<PosixSerialPort>();
}

}  // namespace veltrin
