#include "probeconnection.h"

#include <algorithm>
#include <cstring>

#include "common/texttrim.h"

namespace veltrin {

TSConnectParams ProbeConnectParams() {
    TSConnectParams params;
    params.TxChecksum = kChecksumCrc16Arc;
    params.TxLengthBytes = 2;
    params.Attempts = 3;
    params.StxCount = 1;
    params.PrefixDelay = 1;
    params.RetryDelay = 10;
    params.RxChecksum = kChecksumCrc16Arc;
    params.RxLengthBytes = 2;
    params.AckTimeout = 3000;
    params.AnswerTimeout = 10000;
    params.BaudRate = 230400;
    params.DataBits = 8;
    params.StopBits = 0;
    params.Parity = 0;
    params.Reserved4 = 1;
    params.Reserved5 = 1;
    params.Reserved6 = 10;
    return params;
}

TSConnectParams ProbeConnectParamsFor(const std::string& portName) {
    TSConnectParams params = ProbeConnectParams();
    const std::string name = TrimText(portName);
    const std::size_t length = std::min(name.size(), sizeof(params.PortName) - 1);
    std::memset(params.PortName, 0, sizeof(params.PortName));
    std::memcpy(params.PortName, name.data(), length);
    return params;
}

}  // namespace veltrin
