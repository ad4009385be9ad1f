#include "rawclient.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "simframe.h"

namespace veltrin::test {

std::vector<std::uint8_t> Request(std::uint16_t command, std::vector<std::uint8_t> params,
                                  std::uint8_t byte3) {
    std::vector<std::uint8_t> message;
    message.reserve(10 + params.size());
    message.resize(10, 0);
    for (std::uint8_t byte : params)
        message.push_back(byte);
    message[0] = static_cast<std::uint8_t>(message.size() & 0xFF);
    message[1] = static_cast<std::uint8_t>(message.size() >> 8);
    message[3] = byte3;
    message[4] = static_cast<std::uint8_t>(command & 0xFF);
    message[5] = static_cast<std::uint8_t>(command >> 8);
    return message;
}

std::uint16_t Uint16At(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes.at(at) | bytes.at(at + 1) << 8);
}

std::uint32_t Uint32At(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return Uint16At(bytes, at) | static_cast<std::uint32_t>(Uint16At(bytes, at + 2)) << 16;
}

void AppendUint16(std::vector<std::uint8_t>& bytes, std::uint16_t value) {
    bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void AppendUint32(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
    AppendUint16(bytes, static_cast<std::uint16_t>(value & 0xFFFF));
    AppendUint16(bytes, static_cast<std::uint16_t>(value >> 16));
}

RawClient::RawClient(const std::string& devicePath) {
    fd_ = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0)
        return;
    termios line{};
    if (::tcgetattr(fd_, &line) == 0) {
        ::cfmakeraw(&line);
        ::tcsetattr(fd_, TCSANOW, &line);
    }
    ::tcflush(fd_, TCIOFLUSH);
}

RawClient::~RawClient() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool RawClient::Write(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd out = {fd_, POLLOUT, 0};
            ::poll(&out, 1, 1000);
        } else {
            return false;
        }
    }
    return true;
}

int RawClient::ReadByte(std::chrono::milliseconds timeout) {
    pollfd in = {fd_, POLLIN, 0};
    int ready;
    do {
        ready = ::poll(&in, 1, static_cast<int>(timeout.count()));
    } while (ready < 0 && errno == EINTR);
    if (ready == 0)
        return -1;
    if (ready < 0)
        return -2;
    std::uint8_t byte = 0;
    const ssize_t n = ::read(fd_, &byte, 1);
    if (n == 1)
        return byte;
    if (n < 0 && errno == EAGAIN)
        return -1;
    return -2;  // hang-up: EIO or end of file
}

std::optional<std::string> RawClient::ReadUntilEtx(std::chrono::milliseconds timeout) {
    std::string bytes;
    for (;;) {
        const int byte = ReadByte(timeout);
        if (byte < 0)
            return std::nullopt;
        bytes += static_cast<char>(byte);
        if (byte == kSimEtx)
            return bytes;
    }
}

RawClient::Reply RawClient::Exchange(const std::vector<std::uint8_t>& message,
                                     std::chrono::milliseconds timeout) {
    return ExchangeRaw(EncodeRequestFrame(message), timeout);
}

RawClient::Reply RawClient::ExchangeRaw(const std::string& bytes,
                                        std::chrono::milliseconds timeout) {
    Reply reply;
    if (!Write(bytes)) {
        reply.First = -2;
        return reply;
    }
    reply.First = ReadByte(timeout);
    if (reply.First != kSimAck)
        return reply;
    if (auto frame = ReadUntilEtx(timeout)) {
        reply.Frame = *frame;
        reply.FrameOk = DecodeAnswerFrame(reply.Frame, reply.Message);
    }
    return reply;
}

bool DecodeAnswerFrame(const std::string& frame, std::vector<std::uint8_t>& message) {
    message.clear();
    if (frame.size() < 2 || frame.front() != kSimStx || frame.back() != kSimEtx)
        return false;
    // The answer has the request's frame layout, so the request decoder checks it.
    const std::string text = frame.substr(1, frame.size() - 2);
    return DecodeRequestText(text, message) == SimFrameError::None;
}

}  // namespace veltrin::test
