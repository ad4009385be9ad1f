#pragma once

#include <asm/termbits.h>

#include <cstdint>

namespace veltrin {

// What the transport asks of the line; values outside each table keep the driver's setting.
struct LineSettings {
    std::uint32_t BaudRate = 0;            // bit/s, any rate; 0 keeps the current rate
    std::int32_t ByteSize = 0;             // 4 to 8
    std::uint32_t StopBits = 0xFFFFFFFFu;  // 0 one, 1 one and a half, 2 two
    std::uint32_t Parity = 0xFFFFFFFFu;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
};

// Turns the driver's current settings into a raw 8-bit-clean line with the wanted framing and
// rate. Gives EINVAL for a combination no tty driver offers (4-bit bytes, one and a half stop
// bits with bytes longer than 5 bits), 0 otherwise.
int MakeRawLine(termios2& t, const LineSettings& wanted);

// Drivers silently adjust what they cannot do (a pseudo-terminal always runs 8 bits without
// parity); true when byte size, stop bits and parity came out as asked. The bit rate is not
// compared: drivers round it to what their clock can divide.
bool FramingAccepted(const termios2& wanted, const termios2& applied);

}  // namespace veltrin
