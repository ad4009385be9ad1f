#include "transport/linesettings_posix.h"

#include <cerrno>

namespace veltrin {

namespace {

int SetByteSize(termios2& t, std::int32_t byteSize) {
    tcflag_t size = 0;
    switch (byteSize) {
        case 4:
            return EINVAL;
        case 5:
            size = CS5;
            break;
        case 6:
            size = CS6;
            break;
        case 7:
            size = CS7;
            break;
        case 8:
            size = CS8;
            break;
        default:
            return 0;
    }
    t.c_cflag = (t.c_cflag & ~CSIZE) | size;
    return 0;
}

int SetStopBits(termios2& t, std::uint32_t stopBits) {
    switch (stopBits) {
        case 0:
            t.c_cflag &= ~CSTOPB;
            break;
        case 1:
            // A UART sends one and a half stop bits for "two" only with 5-bit bytes.
            if ((t.c_cflag & CSIZE) != CS5)
                return EINVAL;
            t.c_cflag |= CSTOPB;
            break;
        case 2:
            t.c_cflag |= CSTOPB;
            break;
        default:
            break;
    }
    return 0;
}

void SetParity(termios2& t, std::uint32_t parity) {
    constexpr tcflag_t kParityBits = PARENB | PARODD | CMSPAR;
    switch (parity) {
        case 0:
            t.c_cflag &= ~kParityBits;
            break;
        case 1:
            t.c_cflag = (t.c_cflag & ~kParityBits) | PARENB | PARODD;
            break;
        case 2:
            t.c_cflag = (t.c_cflag & ~kParityBits) | PARENB;
            break;
        case 3:
            t.c_cflag = (t.c_cflag & ~kParityBits) | PARENB | CMSPAR | PARODD;
            break;
        case 4:
            t.c_cflag = (t.c_cflag & ~kParityBits) | PARENB | CMSPAR;
            break;
        default:
            break;
    }
}

}  // namespace

// No echo, no signals from received bytes (ETX is the interrupt character of a cooked
// terminal), no translation either way, no parity checking, no hardware flow control.
// XON/XOFF and the modem lines stay as the driver has them.
int MakeRawLine(termios2& t, const LineSettings& wanted) {
    t.c_iflag &=
        ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IUCLC | INPCK | IMAXBEL);
    t.c_oflag &= ~OPOST;
    t.c_lflag &= ~(ICANON | ECHO | ECHOE | ECHOK | ECHONL | ISIG | IEXTEN);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~CRTSCTS;
    // Reads are non-blocking and paced by poll(); VMIN 1 makes an empty queue read as EAGAIN
    // and a hung-up line as end of file.
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    t.c_cc[VSTART] = 0x11;
    t.c_cc[VSTOP] = 0x13;

    int result = SetByteSize(t, wanted.ByteSize);
    if (result == 0)
        result = SetStopBits(t, wanted.StopBits);
    if (result != 0)
        return result;
    SetParity(t, wanted.Parity);
    if (wanted.BaudRate != 0) {
        t.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
        t.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
        t.c_ispeed = wanted.BaudRate;
        t.c_ospeed = wanted.BaudRate;
    }
    return 0;
}

bool FramingAccepted(const termios2& wanted, const termios2& applied) {
    constexpr tcflag_t kFraming = CSIZE | CSTOPB | PARENB | PARODD | CMSPAR;
    // Odd/even means nothing without parity; a driver may leave it either way.
    const tcflag_t relevant =
        (wanted.c_cflag & PARENB) != 0 ? kFraming : kFraming & ~(PARODD | CMSPAR);
    return (wanted.c_cflag & relevant) == (applied.c_cflag & relevant);
}

}  // namespace veltrin
