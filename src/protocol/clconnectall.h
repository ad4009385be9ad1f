#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "protocol/clconnect.h"

namespace veltrin {

// Owns one IrDA and one serial transport for its whole life and forwards the connection
// operations to the selected one. Selecting only switches the target: it neither opens nor
// closes anything, and each transport keeps its own settings and open state. With no transport
// selected every operation with a result returns 0x60200002 and the text operations give "".
class ClConnectAll {
public:
    // Given transports (either may be null), serial selected.
    ClConnectAll(std::unique_ptr<ClConnect> irda, std::unique_ptr<ClConnect> serial);
    ~ClConnectAll();
    ClConnectAll(const ClConnectAll&) = delete;
    ClConnectAll& operator=(const ClConnectAll&) = delete;

    // TRANSPORT_IRDA, TRANSPORT_SERIAL; any other value selects none.
    void SelectTransport(int kind);
    void GetPortList(std::vector<std::string>& list);
    int GetErrorText(char* buffer, std::uint32_t size, int code);
    void GetSystemErrorText(char* buffer, std::uint32_t size, int number);
    int SetParams(const TSConnectParams& params);
    int GetParams(TSConnectParams& params);
    int Open();
    int Close();
    int Transfer(std::uint8_t* message, std::uint32_t* length, std::uint32_t capacity,
                 char* requestText, std::uint32_t requestTextSize, char* answerText,
                 std::uint32_t answerTextSize);

    std::uint32_t SelectedKind() const { return kind_; }
    // The owned transports, for tests and diagnostics; null when absent.
    ClConnect* IrdaTransport() { return irda_.get(); }
    ClConnect* SerialTransport() { return serial_.get(); }

private:
    ClConnect* selected_ = nullptr;
    std::unique_ptr<ClConnect> irda_;
    std::unique_ptr<ClConnect> serial_;
    std::uint32_t kind_ = TRANSPORT_NONE;
};

}  // namespace veltrin
