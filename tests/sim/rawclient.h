#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace veltrin::test {

using namespace std::chrono_literals;

// A request message: the 10-byte header (length, byte 3, command) followed by params.
std::vector<std::uint8_t> Request(std::uint16_t command, std::vector<std::uint8_t> params = {},
                                  std::uint8_t byte3 = 0);
std::uint16_t Uint16At(const std::vector<std::uint8_t>& bytes, std::size_t at);
std::uint32_t Uint32At(const std::vector<std::uint8_t>& bytes, std::size_t at);
void AppendUint16(std::vector<std::uint8_t>& bytes, std::uint16_t value);
void AppendUint32(std::vector<std::uint8_t>& bytes, std::uint32_t value);

// The host end of the line, as small as possible: opens the pty slave raw and moves bytes.
class RawClient {
public:
    explicit RawClient(const std::string& devicePath);
    ~RawClient();
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    bool Write(const std::string& bytes);
    // A byte, -1 on time-out, -2 when the line hung up or failed.
    int ReadByte(std::chrono::milliseconds timeout);
    // Bytes up to and including ETX; nullopt when a byte does not come in time.
    std::optional<std::string> ReadUntilEtx(std::chrono::milliseconds timeout);

    struct Reply {
        int First = -1;                     // ACK, NAK, another byte, -1 time-out, -2 hang-up
        std::string Frame;                  // STX ... ETX after the ACK
        std::vector<std::uint8_t> Message;  // decoded answer without its checksum
        bool FrameOk = false;               // prefix matched and the checksum was right
    };
    // Sends the request frame of a message and reads ACK/NAK and the answer.
    Reply Exchange(const std::vector<std::uint8_t>& message,
                   std::chrono::milliseconds timeout = 3000ms);
    // Sends raw bytes (a hand-made frame) and reads the reply the same way.
    Reply ExchangeRaw(const std::string& bytes, std::chrono::milliseconds timeout = 3000ms);

private:
    int fd_ = -1;
};

// Checks an answer frame (STX, prefix, hex, checksum, ETX) and decodes its message.
bool DecodeAnswerFrame(const std::string& frame, std::vector<std::uint8_t>& message);

}  // namespace veltrin::test
