#include "probeconnection.h"

#include <algorithm>
#include <cstring>

#include "common/texttrim.h"
#include "engine/workerconnectparams.h"

namespace veltrin {

TSConnectParams ProbeConnectParams() {
    return WorkerConnectParams();
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
