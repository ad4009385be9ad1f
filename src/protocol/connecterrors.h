#pragma once

#include <cstdint>

namespace veltrin {

// Connection result codes. 0 is success; 0x602000xx codec and exchange, 0x602001xx IrDA,
// 0x602002xx serial port. Any other non-zero value is an operating-system error number.
enum ConnectError : std::int32_t {
    CONNECT_OK = 0,
    CONNECT_ERR_NOT_SUPPORTED = 0x60200000,
    CONNECT_ERR_NO_TRANSPORT = 0x60200002,
    CONNECT_ERR_TARGET_TOO_SMALL = 0x60200003,
    CONNECT_ERR_ANSWER_TIMEOUT = 0x60200006,
    CONNECT_ERR_NO_ASCII_TO_SEND = 0x60200009,
    CONNECT_ERR_ASCII_BUFFER_TOO_SMALL = 0x6020000A,
    CONNECT_ERR_NO_ASCII_RECEIVED = 0x6020000B,
    CONNECT_ERR_ASCII_LENGTH_ODD = 0x6020000C,
    CONNECT_ERR_NOT_TERMINATED = 0x6020000D,
    CONNECT_ERR_HEX_TOO_SHORT = 0x6020000E,
    CONNECT_ERR_INVALID_HEX_CHAR = 0x6020000F,
    CONNECT_ERR_LENGTH_MISMATCH = 0x60200010,
    CONNECT_ERR_NO_BINARY_TO_SEND = 0x60200011,
    CONNECT_ERR_BINARY_BUFFER_TOO_SMALL = 0x60200012,
    CONNECT_ERR_INVALID_COUNT = 0x60200013,
    CONNECT_ERR_NO_BINARY_RECEIVED = 0x60200014,
    CONNECT_ERR_BAD_CHECKSUM = 0x60200015,
    CONNECT_ERR_WINSOCK_NOT_FOUND = 0x60200100,
    CONNECT_ERR_NO_IRDA_DEVICE = 0x60200101,
    CONNECT_ERR_NO_9WIRE = 0x60200102,
    CONNECT_ERR_NO_DATA_RECEIVED = 0x60200103,
    CONNECT_ERR_BAD_IRCOMM = 0x60200104,
    CONNECT_ERR_NO_PORT_OBJECT = 0x60200200,
    CONNECT_ERR_OPEN_PORT = 0x60200201,
    CONNECT_ERR_CLOSE_PORT = 0x60200202,
    CONNECT_ERR_ACK_TIMEOUT = 0x60200210,
    CONNECT_ERR_NAK = 0x60200211,
    CONNECT_ERR_NOT_ACK = 0x60200212,
};

// A device that answered with a non-zero status word: kDeviceStatusBase | status.
constexpr std::int32_t kDeviceStatusBase = 0x60300000;

constexpr bool IsConnectionError(std::int32_t code) {
    return (static_cast<std::uint32_t>(code) & 0xFFF00000u) == 0x60200000u;
}
constexpr bool IsDeviceStatus(std::int32_t code) {
    return (static_cast<std::uint32_t>(code) & 0xFFF00000u) == 0x60300000u;
}

// The English text of a connection error code, or "Text not supported".
const char* ConnectErrorText(std::int32_t code);

}  // namespace veltrin
