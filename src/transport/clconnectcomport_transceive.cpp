// One exchange over the serial line: frame and send the request, wait for ACK/NAK, read the
// answer up to ETX and take its payload out of the frame.
#include <algorithm>
#include <cstring>
#include <new>

#include "common/texttrim.h"
#include "protocol/systemerror.h"
#include "transport/clconnectcomport.h"

namespace veltrin {

namespace {

constexpr std::uint8_t kStx = 0x02;
constexpr std::uint8_t kEtx = 0x03;
constexpr std::uint8_t kAck = 0x06;
constexpr std::uint8_t kNak = 0x15;

// Room in a received frame beyond prefix and payload for what trimming takes away again: the
// leading STX characters, the ETX, and blanks or line ends a device may add.
constexpr std::size_t kFrameMargin = 16;
// Capacity kept ready for answers; longer ones grow the buffer as they come.
constexpr std::size_t kTypicalAnswer = 16 * 1024;

bool IsPrefixSize(std::int32_t bytes) {
    return bytes == 1 || bytes == 2 || bytes == 4;
}

std::uint64_t LargestPrefixValue(std::int32_t bytes) {
    return (std::uint64_t{1} << (8 * bytes)) - 1;
}

}  // namespace

int ClConnectComport::Transceive(const char* request, std::uint32_t requestSize, char* answer,
                                 std::uint32_t answerSize) {
    if (!ComPort)
        return CONNECT_ERR_NO_PORT_OBJECT;
    const std::size_t length = request == nullptr ? 0 : strnlen(request, requestSize);
    if (length == 0)
        return CONNECT_ERR_NO_ASCII_TO_SEND;
    if (length >= requestSize)
        return CONNECT_ERR_NOT_TERMINATED;
    if (answer == nullptr)
        answerSize = 0;

    int result = CONNECT_OK;
    std::string payload;
    try {
        char prefix[9] = {};
        const bool withPrefix = Params.TxLengthBytes != 0;
        if (withPrefix) {
            // A prefix too short to state the length would announce a different frame.
            if (!IsPrefixSize(Params.TxLengthBytes) ||
                length > LargestPrefixValue(Params.TxLengthBytes)) {
                result = CONNECT_ERR_INVALID_COUNT;
            } else {
                result = ValueToHex(prefix, sizeof(prefix), static_cast<std::uint32_t>(length),
                                    static_cast<std::uint8_t>(Params.TxLengthBytes));
            }
        }
        if (result == CONNECT_OK)
            result = SendRequest(request, length, withPrefix ? prefix : nullptr);
        if (result == CONNECT_OK)
            result = ReceiveAnswer(answerSize);
        if (result == CONNECT_OK) {
            const std::string text = TrimText(received_);
            if (text.empty()) {
                result = CONNECT_ERR_NO_ASCII_RECEIVED;
            } else {
                TraceText("recv: ");
                TraceText(text.c_str());
                TraceText("\n");
                result = ExtractPayload(text, answerSize, payload);
            }
        }
    } catch (const std::bad_alloc&) {
        result = OutOfMemoryError();
    }

    if (answerSize > 0)
        std::memset(answer, 0, answerSize);
    if (result == CONNECT_OK)
        std::memcpy(answer, payload.data(), payload.size());
    return result;
}

// A failing port here is the device going away; its error number is the result.
int ClConnectComport::SendRequest(const char* request, std::size_t length, const char* prefix) {
    ComPort->SetWriteTimeout(Params.AnswerTimeout);
    // Whatever the device sent late for an earlier exchange must not be taken as this answer.
    int result = ComPort->DiscardInput();
    if (result == 0)
        result = ComPort->WaitWriteComplete();
    if (result == 0)
        result = ComPort->PurgeOutput();
    if (result != 0)
        return result;

    TraceText("send: ");
    for (std::uint16_t i = 0; i < Params.StxCount; ++i) {
        result = ComPort->WriteByte(kStx);
        if (result != 0)
            return result;
    }
    if (prefix != nullptr) {
        for (const char* c = prefix; *c != '\0'; ++c) {
            result = ComPort->WriteByte(static_cast<std::uint8_t>(*c));
            if (result != 0)
                return result;
            TraceChar(*c);
        }
        TraceText(" ");
        if (Params.PrefixDelay > 0)
            Sleep(Params.PrefixDelay);
    }
    result = ComPort->WriteText(request, length);
    if (result != 0)
        return result;
    TraceText(request);
    result = ComPort->WriteByte(kEtx);
    if (result != 0)
        return result;
    TraceText("\n");
    return 0;
}

// Any failure to read counts as the device not answering in time, whatever the port reports.
int ClConnectComport::ReceiveAnswer(std::uint32_t answerSize) {
    received_.clear();
    std::uint8_t first = 0;
    if (ComPort->SetReadTimeout(Params.AckTimeout) != 0 || ComPort->ReadByte(first) != 0) {
        return CONNECT_ERR_ACK_TIMEOUT;
    }
    if (first == kNak)
        return CONNECT_ERR_NAK;
    if (first != kAck)
        return CONNECT_ERR_NOT_ACK;

    if (ComPort->SetReadTimeout(Params.AnswerTimeout) != 0)
        return CONNECT_ERR_ANSWER_TIMEOUT;
    // A device that streams without ever sending ETX is cut off once its text could no longer
    // fit the answer buffer, instead of filling memory for as long as it keeps sending.
    const std::size_t prefixChars =
        2 * static_cast<std::size_t>(std::clamp(Params.RxLengthBytes, 0, 4));
    const std::size_t limit = std::size_t{answerSize} + prefixChars + kFrameMargin;
    received_.reserve(std::min(limit, kTypicalAnswer));
    const int result = ComPort->ReadUntil(kEtx, received_, limit);
    if (result == SerialPort::kReadLimitReached)
        return CONNECT_ERR_ASCII_BUFFER_TOO_SMALL;
    return result == 0 ? CONNECT_OK : CONNECT_ERR_ANSWER_TIMEOUT;
}

// Checks the trimmed answer text against its length prefix and the answer buffer.
int ClConnectComport::ExtractPayload(const std::string& text, std::uint32_t answerSize,
                                     std::string& payload) {
    const std::int64_t prefixBytes = Params.RxLengthBytes;
    if (text.size() % 2 != 0)
        return CONNECT_ERR_ASCII_LENGTH_ODD;
    if (static_cast<std::int64_t>(text.size()) < 2 * prefixBytes + 2) {
        return CONNECT_ERR_NO_BINARY_RECEIVED;
    }
    std::size_t start = 0;
    if (prefixBytes != 0) {
        if (prefixBytes < 1 || prefixBytes > 4)
            return CONNECT_ERR_INVALID_COUNT;
        std::uint32_t announced = 0;
        const int result = HexToValue(&announced, static_cast<std::uint8_t>(prefixBytes),
                                      text.c_str(), static_cast<std::uint32_t>(text.size() + 1));
        if (result != CONNECT_OK)
            return result;
        start = static_cast<std::size_t>(2 * prefixBytes);
        // The announced length counts everything after the prefix, checksum included.
        if (text.size() - start != announced)
            return CONNECT_ERR_LENGTH_MISMATCH;
    }
    // The payload and its NUL must fit.
    if (text.size() - start >= answerSize)
        return CONNECT_ERR_ASCII_BUFFER_TOO_SMALL;
    payload.assign(text, start);
    return CONNECT_OK;
}

}  // namespace veltrin
