#include "commands/probeconnection.h"

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
    std::memset(params.PortName, 0, sizeof(params.PortName));
    if (name.size() < sizeof(params.PortName))
        std::memcpy(params.PortName, name.data(), name.size());
    return params;
}

}  // namespace veltrin
