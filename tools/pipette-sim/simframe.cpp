#include "simframe.h"

#include "protocol/clconnect.h"

namespace veltrin {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::uint16_t Crc(const std::vector<std::uint8_t>& bytes) {
    const auto n = static_cast<std::uint32_t>(bytes.size());
    return ClConnect::Crc16(0, bytes.data(), n, n);
}

// STX, prefix, hex text of message + checksum, ETX.
std::string EncodeFrame(const std::vector<std::uint8_t>& message, std::uint16_t checksum) {
    std::string text = BytesToHexText(message.data(), message.size());
    const std::uint8_t crc[2] = {static_cast<std::uint8_t>(checksum & 0xFF),
                                 static_cast<std::uint8_t>(checksum >> 8)};
    text += BytesToHexText(crc, 2);
    const std::uint8_t prefix[2] = {static_cast<std::uint8_t>(text.size() & 0xFF),
                                    static_cast<std::uint8_t>((text.size() >> 8) & 0xFF)};
    std::string frame(1, static_cast<char>(kSimStx));
    frame += BytesToHexText(prefix, 2);
    frame += text;
    frame += static_cast<char>(kSimEtx);
    return frame;
}

}  // namespace

const char* SimFrameErrorName(SimFrameError error) {
    switch (error) {
        case SimFrameError::None:
            return "ok";
        case SimFrameError::TooLong:
            return "too long";
        case SimFrameError::TooShort:
            return "too short";
        case SimFrameError::BadLengthPrefix:
            return "bad length prefix";
        case SimFrameError::OddLength:
            return "odd length";
        case SimFrameError::BadHex:
            return "bad hex";
        case SimFrameError::BadChecksum:
            return "bad checksum";
    }
    return "?";
}

std::string BytesToHexText(const std::uint8_t* bytes, std::size_t count) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(count * 2);
    for (std::size_t i = 0; i < count; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    return text;
}

bool HexTextToBytes(const char* text, std::size_t length, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    if (length % 2 != 0)
        return false;
    bytes.reserve(length / 2);
    for (std::size_t i = 0; i < length; i += 2) {
        const int high = HexDigit(text[i]);
        const int low = HexDigit(text[i + 1]);
        if (high < 0 || low < 0) {
            bytes.clear();
            return false;
        }
        bytes.push_back(static_cast<std::uint8_t>(high << 4 | low));
    }
    return true;
}

SimFrameError DecodeRequestText(const std::string& text, std::vector<std::uint8_t>& message) {
    message.clear();
    if (text.size() > kSimMaxFrameText)
        return SimFrameError::TooLong;
    // Prefix, at least one message byte and the two checksum bytes.
    if (text.size() < 4 + 2 + 4)
        return SimFrameError::TooShort;
    std::vector<std::uint8_t> prefix;
    if (!HexTextToBytes(text.data(), 4, prefix))
        return SimFrameError::BadLengthPrefix;
    const std::size_t announced = prefix[0] | static_cast<std::size_t>(prefix[1]) << 8;
    const std::size_t payload = text.size() - 4;
    if (announced != payload)
        return SimFrameError::BadLengthPrefix;
    if (payload % 2 != 0)
        return SimFrameError::OddLength;
    std::vector<std::uint8_t> bytes;
    if (!HexTextToBytes(text.data() + 4, payload, bytes))
        return SimFrameError::BadHex;
    const std::uint16_t received =
        static_cast<std::uint16_t>(bytes[bytes.size() - 2] | bytes[bytes.size() - 1] << 8);
    bytes.resize(bytes.size() - 2);
    if (Crc(bytes) != received)
        return SimFrameError::BadChecksum;
    message = std::move(bytes);
    return SimFrameError::None;
}

std::string EncodeAnswerFrame(const std::vector<std::uint8_t>& message, bool corruptChecksum) {
    std::uint16_t crc = Crc(message);
    if (corruptChecksum)
        crc = static_cast<std::uint16_t>(~crc);
    return EncodeFrame(message, crc);
}

std::string EncodeRequestFrame(const std::vector<std::uint8_t>& message) {
    return EncodeFrame(message, Crc(message));
}

}  // namespace veltrin
