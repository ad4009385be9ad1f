// The ASCII-HEX codec: two upper-case digits per byte, high nibble first; multi-byte numbers
// least significant byte first. Every size is checked before anything is written.
#include <cstring>

#include "protocol/clconnect.h"

namespace veltrin {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

void PutHexByte(char* out, std::uint8_t byte) {
    out[0] = kHexDigits[byte >> 4];
    out[1] = kHexDigits[byte & 0x0F];
}

// Decodes the character pair at text[0..1]; false when either is not a hex digit.
bool GetHexByte(const char* text, std::uint8_t& byte) {
    const int high = HexDigitValue(text[0]);
    const int low = HexDigitValue(text[1]);
    if (high < 0 || low < 0)
        return false;
    byte = static_cast<std::uint8_t>((high << 4) | low);
    return true;
}

// The common first checks of both decoders: terminated text, even length, long enough.
int CheckHexText(const char* text, std::uint32_t textSize, std::uint64_t count,
                 std::size_t& length) {
    length = text == nullptr ? 0 : strnlen(text, textSize);
    if (text == nullptr || length >= textSize)
        return CONNECT_ERR_NOT_TERMINATED;
    if (length % 2 != 0)
        return CONNECT_ERR_ASCII_LENGTH_ODD;
    if (length < 2 * count)
        return CONNECT_ERR_HEX_TOO_SHORT;
    return CONNECT_OK;
}

}  // namespace

int ClConnect::ValueToHex(char* buffer, std::uint32_t size, std::uint32_t value,
                          std::uint8_t count) {
    if (buffer == nullptr || size < 2u * count + 1u)
        return CONNECT_ERR_ASCII_BUFFER_TOO_SMALL;
    if (count != 1 && count != 2 && count != 4)
        return CONNECT_ERR_INVALID_COUNT;
    for (std::uint8_t i = 0; i < count; ++i) {
        PutHexByte(buffer + 2 * i, static_cast<std::uint8_t>(value >> (8 * i)));
    }
    buffer[2 * count] = '\0';
    return CONNECT_OK;
}

int ClConnect::BytesToHex(char* buffer, std::uint32_t size, const std::uint8_t* bytes,
                          std::uint32_t count, std::uint32_t capacity) {
    if (buffer == nullptr || size < 2ull * count + 1ull)
        return CONNECT_ERR_ASCII_BUFFER_TOO_SMALL;
    if (capacity < count || (count > 0 && bytes == nullptr)) {
        return CONNECT_ERR_BINARY_BUFFER_TOO_SMALL;
    }
    for (std::uint32_t i = 0; i < count; ++i)
        PutHexByte(buffer + 2ull * i, bytes[i]);
    buffer[2ull * count] = '\0';
    return CONNECT_OK;
}

int ClConnect::HexToValue(std::uint32_t* value, std::uint8_t count, const char* text,
                          std::uint32_t textSize) {
    std::size_t length = 0;
    if (const int result = CheckHexText(text, textSize, count, length); result != CONNECT_OK) {
        return result;
    }
    if (count == 0 || count > 4)
        return CONNECT_ERR_INVALID_COUNT;
    std::uint32_t decoded = 0;
    for (std::uint8_t i = 0; i < count; ++i) {
        std::uint8_t byte = 0;
        if (!GetHexByte(text + 2 * i, byte))
            return CONNECT_ERR_INVALID_HEX_CHAR;
        decoded |= static_cast<std::uint32_t>(byte) << (8 * i);
    }
    if (value != nullptr)
        *value = decoded;
    return CONNECT_OK;
}

int ClConnect::HexToBytes(std::uint8_t* bytes, std::uint32_t count, std::uint32_t capacity,
                          const char* text, std::uint32_t textSize) {
    std::size_t length = 0;
    if (const int result = CheckHexText(text, textSize, count, length); result != CONNECT_OK) {
        return result;
    }
    if (capacity < count || (count > 0 && bytes == nullptr)) {
        return CONNECT_ERR_BINARY_BUFFER_TOO_SMALL;
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        if (!GetHexByte(text + 2ull * i, bytes[i]))
            return CONNECT_ERR_INVALID_HEX_CHAR;
    }
    return CONNECT_OK;
}

}  // namespace veltrin
