// The binary message exchange: encode, append the checksum, exchange with retries, strip and
// verify the answer's checksum, decode back into the same message buffer.
#include <cstring>

#include "protocol/clconnect.h"

namespace veltrin {

namespace {

std::uint32_t ChecksumLength(std::int32_t kind) {
    return (static_cast<std::uint32_t>(kind) >> 8) & 0xFFu;
}

bool ComputeChecksum(std::int32_t kind, const std::uint8_t* bytes, std::uint32_t count,
                     std::uint16_t& checksum) {
    if (kind == kChecksumCrc16Arc) {
        checksum = ClConnect::Crc16(0x0000, bytes, count, count);
        return true;
    }
    if (kind == kChecksumCrc16X25) {
        checksum = ClConnect::CrcCcitt(bytes, count, count);
        return true;
    }
    return false;
}

}  // namespace

int ClConnect::TransceiveRetry(const char* request, std::uint32_t requestSize, char* answer,
                               std::uint32_t answerSize) {
    std::uint32_t attempt = 0;
    int result = CONNECT_OK;
    while (true) {
        ++attempt;
        result = Transceive(request, requestSize, answer, answerSize);
        if (result == CONNECT_OK || attempt >= Params.Attempts)
            break;
        if (Params.RetryDelay > 0)
            Sleep(Params.RetryDelay);
    }
    return result;
}

int ClConnect::Transfer(std::uint8_t* message, std::uint32_t* length, std::uint32_t capacity,
                        char* requestText, std::uint32_t requestTextSize, char* answerText,
                        std::uint32_t answerTextSize) {
    if (length == nullptr)
        return CONNECT_ERR_NO_BINARY_TO_SEND;
    const std::uint32_t tk = ChecksumLength(Params.TxChecksum);
    const std::uint32_t rk = ChecksumLength(Params.RxChecksum);
    int result = CONNECT_OK;
    std::uint32_t decodedLength = 0;

    if (*length == 0) {
        result = CONNECT_ERR_NO_BINARY_TO_SEND;
    } else if (requestText == nullptr ||
               (static_cast<std::uint64_t>(tk) + capacity) * 2 + 1 > requestTextSize) {
        result = CONNECT_ERR_ASCII_BUFFER_TOO_SMALL;
    } else if (*length > capacity) {
        result = CONNECT_ERR_BINARY_BUFFER_TOO_SMALL;
    } else {
        result = BytesToHex(requestText, requestTextSize, message, *length, capacity);
    }

    if (result == CONNECT_OK) {
        std::uint16_t checksum = 0;
        if (ComputeChecksum(Params.TxChecksum, message, *length, checksum)) {
            char scratch[9] = {};
            ValueToHex(scratch, sizeof(scratch), checksum, 2);
            std::strcat(requestText, scratch);
        }
        if (answerText == nullptr || answerTextSize == 0) {
            result = CONNECT_ERR_ASCII_BUFFER_TOO_SMALL;
        } else {
            result = TransceiveRetry(requestText, requestTextSize, answerText, answerTextSize);
        }
    }

    std::uint32_t received = 0;
    std::size_t n = 0;
    if (result == CONNECT_OK) {
        n = strnlen(answerText, answerTextSize);
        if (n == answerTextSize) {
            result = CONNECT_ERR_NOT_TERMINATED;
        } else if (n == 0) {
            result = CONNECT_ERR_NO_ASCII_RECEIVED;
        } else if (n % 2 != 0) {
            result = CONNECT_ERR_ASCII_LENGTH_ODD;
        } else if (n < (static_cast<std::uint64_t>(rk) + 1) * 2) {
            result = CONNECT_ERR_NO_BINARY_RECEIVED;
        }
    }
    if (result == CONNECT_OK && Params.RxChecksum != 0) {
        const std::size_t at = n - 2 * rk;
        result = HexToValue(&received, static_cast<std::uint8_t>(rk), answerText + at,
                            static_cast<std::uint32_t>(answerTextSize - at));
        if (result == CONNECT_OK) {
            answerText[at] = '\0';
            n = at;
        }
    }
    if (result == CONNECT_OK) {
        if (message != nullptr)
            std::memset(message, 0, capacity);
        decodedLength = static_cast<std::uint32_t>(n / 2);
        result = HexToBytes(message, decodedLength, capacity, answerText, answerTextSize);
    }
    if (result == CONNECT_OK && Params.RxChecksum != 0) {
        // The answer is verified with the request's algorithm; both sides always agree on it.
        std::uint16_t expected = 0;
        if (ComputeChecksum(Params.TxChecksum, message, decodedLength, expected) &&
            expected != received) {
            result = CONNECT_ERR_BAD_CHECKSUM;
        }
    }
    *length = result == CONNECT_OK ? decodedLength : 0;
    return result;
}

}  // namespace veltrin
