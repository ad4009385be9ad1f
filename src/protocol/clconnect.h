#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/sleeper.h"
#include "protocol/connecterrors.h"
#include "protocol/connectparams.h"

namespace veltrin {

// Abstract base of every device connection: the settings record, the ASCII-HEX codec, the two
// CRC-16 checksums, the retrying binary message exchange and the connection error texts.
// Transports override GetVersion, GetPortList, Open, Close and Transceive. No operation throws;
// failures are result codes (connecterrors.h) or operating-system error numbers.
class ClConnect {
public:
    ClConnect();
    virtual ~ClConnect();
    ClConnect(const ClConnect&) = delete;
    ClConnect& operator=(const ClConnect&) = delete;

    // Copies "00.00.04" by the shared rule: size 0 writes nothing, a size of 8 or less gets the
    // first size - 1 characters and a NUL, a larger one the whole text.
    virtual void GetVersion(char* buffer, std::uint32_t size);
    virtual void GetPortList(std::vector<std::string>& list);

    int ValueToHex(char* buffer, std::uint32_t size, std::uint32_t value, std::uint8_t count);
    int BytesToHex(char* buffer, std::uint32_t size, const std::uint8_t* bytes, std::uint32_t count,
                   std::uint32_t capacity);
    int HexToValue(std::uint32_t* value, std::uint8_t count, const char* text,
                   std::uint32_t textSize);
    int HexToBytes(std::uint8_t* bytes, std::uint32_t count, std::uint32_t capacity,
                   const char* text, std::uint32_t textSize);

    static std::uint16_t Crc16Step(std::uint16_t crc, std::uint8_t data);
    static std::uint16_t Crc16(std::uint16_t start, const std::uint8_t* bytes, std::uint32_t count,
                               std::uint32_t capacity);
    static std::uint16_t CrcCcitt(const std::uint8_t* bytes, std::uint32_t count,
                                  std::uint32_t capacity);

    int GetErrorText(char* buffer, std::uint32_t size, int code);
    void GetSystemErrorText(char* buffer, std::uint32_t size, int number);

    void SetParams(const TSConnectParams& params);
    void GetParams(TSConnectParams& params) const;
    std::uint8_t IsConnected() const;

    virtual int Open();
    virtual int Close();
    virtual int Transceive(const char* request, std::uint32_t requestSize, char* answer,
                           std::uint32_t answerSize);
    int TransceiveRetry(const char* request, std::uint32_t requestSize, char* answer,
                        std::uint32_t answerSize);
    int Transfer(std::uint8_t* message, std::uint32_t* length, std::uint32_t capacity,
                 char* requestText, std::uint32_t requestTextSize, char* answerText,
                 std::uint32_t answerTextSize);

    // Test seam: every pause of this connection (retry delay, prefix delay, answer delay).
    void SetSleeper(SleepFunction sleeper);

protected:
    // Writes to Params.TraceFile without flushing; nothing when it is null.
    void TraceText(const char* text);
    void TraceChar(char c);
    void Sleep(std::uint32_t milliseconds);
    // Copies a version text by the GetVersion size rule.
    static void CopyVersionText(const char* version, char* buffer, std::uint32_t size);

    TSConnectParams Params;
    std::uint8_t Connected = 0;

private:
    SleepFunction sleeper_;
};

}  // namespace veltrin
