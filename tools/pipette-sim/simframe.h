#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace veltrin {

constexpr std::uint8_t kSimStx = 0x02;
constexpr std::uint8_t kSimEtx = 0x03;
constexpr std::uint8_t kSimAck = 0x06;
constexpr std::uint8_t kSimNak = 0x15;

// Why a received frame is refused with NAK.
enum class SimFrameError {
    None,
    TooLong,          // more characters than the largest request can have
    TooShort,         // no room for the length prefix, one byte and the checksum
    BadLengthPrefix,  // the prefix is not hex or differs from the text length
    OddLength,
    BadHex,
    BadChecksum,
};

const char* SimFrameErrorName(SimFrameError error);

// Characters between the STX run and ETX of the largest request: a 4-character prefix and the
// 4120-byte message with its 2-byte checksum, two characters per byte.
constexpr std::size_t kSimMaxFrameText = 4 + (4120 + 2) * 2;

// Checks a request text (length prefix, ASCII-HEX message, CRC-16/ARC least significant byte
// first) and decodes the message. On failure the message is left empty.
SimFrameError DecodeRequestText(const std::string& text, std::vector<std::uint8_t>& message);

// The answer frame after the ACK: STX, the 4-character length prefix, the ASCII-HEX message and
// its CRC-16/ARC, ETX. corruptChecksum inverts the checksum (fault injection).
std::string EncodeAnswerFrame(const std::vector<std::uint8_t>& message, bool corruptChecksum);

// The request frame a host sends for a message (used by test clients and benchmarks).
std::string EncodeRequestFrame(const std::vector<std::uint8_t>& message);

// Upper-case ASCII-HEX, two characters per byte, high nibble first.
std::string BytesToHexText(const std::uint8_t* bytes, std::size_t count);
// Decodes pairs of hex digits (either case); false on an odd length or a non-hex character.
bool HexTextToBytes(const char* text, std::size_t length, std::vector<std::uint8_t>& bytes);

}  // namespace veltrin
