#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace veltrin {

// A serial port as the transport needs it: a thin layer over the operating system's serial
// interface, with one backend per system (serialport_posix.cpp, serialport_win32.cpp).
//
// Results are 0 on success or the operating system's error number; a time-out is the system's
// time-out error (ETIMEDOUT / ERROR_TIMEOUT). Nothing here throws.
class SerialPort {
public:
    // ReadUntil's result when the limit was reached before the terminator came.
    static constexpr int kReadLimitReached = -1;

    virtual ~SerialPort() = default;

    // Stored while the port is closed and applied by Open. The name is the bare port name
    // (ttyACM0, pts/7, COM3); the backend turns it into its device path.
    virtual void SetName(std::string_view name) = 0;
    // Bit rate in bit/s, applied unchanged; 0 keeps the driver's current rate.
    virtual void SetBaudRate(std::uint32_t baudRate) = 0;
    // 5 to 8 data bits; any other value keeps the driver's current byte size.
    virtual void SetByteSize(std::int32_t dataBits) = 0;
    // 0 one, 1 one and a half, 2 two; any other value keeps the current setting.
    virtual void SetStopBits(std::uint32_t stopBits) = 0;
    // 0 none, 1 odd, 2 even, 3 mark, 4 space; any other value keeps the current setting.
    virtual void SetParity(std::uint32_t parity) = 0;

    // Opens the device exclusively and applies the line settings; both driver queues are
    // purged afterwards. On failure nothing stays open. Opening an open port does nothing.
    virtual int Open() = 0;
    // Restores the line settings found at open and closes; closing a closed port does nothing.
    virtual int Close() = 0;
    virtual bool IsOpen() const = 0;

    // Drops whatever the driver has received and not yet been read.
    virtual int DiscardInput() = 0;
    // Drops whatever is still queued for sending.
    virtual int PurgeOutput() = 0;
    // Waits until everything written has left the driver, at most the write time-out.
    virtual int WaitWriteComplete() = 0;

    // Bound of every following write and of WaitWriteComplete in ms; 0 means no bound.
    virtual void SetWriteTimeout(std::uint32_t milliseconds) = 0;
    // A write returns once the driver has taken all its bytes, so the next write always
    // follows a finished one.
    virtual int WriteByte(std::uint8_t byte) = 0;
    virtual int WriteText(const char* text, std::size_t length) = 0;

    // Bound of each following single-byte read in ms; 0 means no bound.
    virtual int SetReadTimeout(std::uint32_t milliseconds) = 0;
    // Blocks until one byte has come or the read time-out has passed (the system's time-out
    // error); a hung-up line fails at once instead of waiting out the time-out.
    virtual int ReadByte(std::uint8_t& byte) = 0;
    // Reads single bytes, each under the read time-out, into text (cleared first) until the
    // terminator has been read; the terminator is kept. Gives kReadLimitReached once text holds
    // maxLength bytes without the terminator, so a peer that never ends its frame cannot make
    // the text grow without bound. Any failed read ends it with that read's result. The same
    // for every backend, so it is written once over ReadByte.
    int ReadUntil(std::uint8_t terminator, std::string& text, std::size_t maxLength);
};

// A closed port of this system's backend.
std::unique_ptr<SerialPort> CreateSerialPort();

// The names of the serial ports with hardware behind them: on Linux in a stable natural order
// (ttyACM2 before ttyACM10), on Windows in the order of the system's registry key of serial
// ports.
std::vector<std::string> ListSerialPorts();

}  // namespace veltrin
