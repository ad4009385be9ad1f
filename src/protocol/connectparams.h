#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace veltrin {

// Checksum kinds: bits 8-15 give the checksum length in bytes, bits 0-7 the algorithm.
constexpr std::int32_t kChecksumNone = 0x0000;
constexpr std::int32_t kChecksumCrc16Arc = 0x0201;
constexpr std::int32_t kChecksumCrc16X25 = 0x0202;

// Room for a serial port name and its terminating zero. Lab PCs with many USB devices have
// ports such as ttyACM10 or ttyUSB12; the kernel names no tty longer than 63 characters, so
// every port the system lists fits whole and none is ever cut into another port's name.
constexpr std::size_t kPortNameSize = 64;

// Transport kinds of SelectTransport.
enum TransportKind : std::uint32_t {
    TRANSPORT_NONE = 0,
    TRANSPORT_IRDA = 1,
    TRANSPORT_SERIAL = 2,
};

// The connection settings record, copied whole into and out of a connection.
struct TSConnectParams {
    std::int32_t TxChecksum = 0;      // checksum kind appended to each request text
    std::int32_t TxLengthBytes = 0;   // bytes of the length prefix before a request; 0 = none
    std::uint16_t Attempts = 0;       // Transceive attempts per exchange
    std::uint16_t StxCount = 0;       // STX characters before each request
    std::uint16_t PrefixDelay = 0;    // pause in ms after the length prefix
    std::uint16_t RetryDelay = 0;     // pause in ms between failed attempts
    std::int32_t RxChecksum = 0;      // checksum kind expected at the end of each answer
    std::int32_t RxLengthBytes = 0;   // bytes of the length prefix at the head of an answer
    std::uint32_t AckTimeout = 0;     // wait for ACK/NAK in ms
    std::uint32_t AnswerTimeout = 0;  // wait for each answer byte in ms
    std::FILE* TraceFile = nullptr;   // receives the send/recv trace; null = no trace
    std::uint32_t IrdaSendTimeout = 0;
    std::uint32_t IrdaReceiveTimeout = 0;
    std::uint32_t IrdaAnswerDelay = 0;
    char PortName[kPortNameSize] = {};  // serial port name, NUL-terminated
    std::uint32_t BaudRate = 0;
    std::int32_t DataBits = 0;
    std::uint32_t StopBits = 0;  // 0 one, 1 one and a half, 2 two
    std::uint32_t Parity = 0;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
    // Read by no operation; kept so that the record round-trips unchanged.
    std::uint32_t Reserved1 = 0;
    std::uint8_t Reserved2 = 0;
    std::uint8_t Reserved3 = 0;
    std::uint32_t Reserved4 = 0;
    std::uint32_t Reserved5 = 0;
    std::uint32_t Reserved6 = 0;
    std::uint32_t Reserved7 = 0;
    std::uint32_t Reserved8 = 0;
};

// The values both transports' constructors give the eight reserved fields.
void SetReservedDefaults(TSConnectParams& params);

}  // namespace veltrin
