#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/clconnect.h"
#include "transport/serialport.h"

namespace veltrin {

// The pipette protocol over a serial port. Each exchange is a half-duplex handshake: the host
// sends STX, an optional length prefix, the request text and ETX; the device acknowledges with
// ACK or NAK and, after ACK, sends its answer up to ETX.
//
// Results are 0, a connection error code (connecterrors.h), or the operating system's error
// number when the port itself fails while the request goes out (a device unplugged mid-way).
class ClConnectComport : public ClConnect {
public:
    // With this system's serial port.
    ClConnectComport();
    // With the given port object; a null one makes Open, Close and Transceive report 0x60200200.
    explicit ClConnectComport(std::unique_ptr<SerialPort> port);
    ~ClConnectComport() override;

    void GetVersion(char* buffer, std::uint32_t size) override;
    // The system's serial ports whose names fit PortName (all that the system lists).
    void GetPortList(std::vector<std::string>& list) override;
    int Open() override;
    int Close() override;
    int Transceive(const char* request, std::uint32_t requestSize, char* answer,
                   std::uint32_t answerSize) override;

private:
    int SendRequest(const char* request, std::size_t length, const char* prefix);
    int ReceiveAnswer(std::uint32_t answerSize);
    int ExtractPayload(const std::string& text, std::uint32_t answerSize, std::string& payload);

    std::unique_ptr<SerialPort> ComPort;
    // Reused by every exchange so that a long session does not allocate per answer.
    std::string received_;
};

}  // namespace veltrin
