// ports and probe: what the system offers and what answers on it.

#include <memory>
#include <string>
#include <vector>

#include "commands.h"
#include "common/texttrim.h"
#include "probeconnection.h"
#include "protocol/clconnectpipetten.h"
#include "protocol/devicetypes.h"
#include "transport/portaccess.h"
#include "wiring/realtransports.h"

namespace veltrin {

int RunPortsCommand(CliIo& io) {
    const std::unique_ptr<ClConnectPipetten> realDevice = MakeRealCommandSet();
    ClConnectPipetten& device = *realDevice;
    device.SelectTransport(kSerialTransport);
    std::vector<std::string> ports;
    device.GetPortList(ports);
    if (ports.empty()) {
        io.Out << "No serial ports found.\n";
    }
    for (const auto& port : ports) {
        const std::string name = TrimText(port);
        io.Out << name << '\n';
        // Linux keeps serial devices for a group; say so instead of failing silently later.
        if (const std::string problem = PortAccessProblem(name); !problem.empty()) {
            io.Out << "  " << problem << '\n';
        }
    }
    return 0;
}

int RunProbeCommand(const CliArguments& arguments, CliIo& io) {
    const std::unique_ptr<ClConnectPipetten> realDevice = MakeRealCommandSet();
    ClConnectPipetten& device = *realDevice;
    device.SelectTransport(kSerialTransport);
    std::vector<std::string> ports = arguments.Ports;
    if (ports.empty()) {
        device.GetPortList(ports);
    }
    if (ports.empty()) {
        io.Out << "No serial ports found.\n";
        return kExitFailure;
    }
    bool anyDevice = false;
    for (const auto& rawName : ports) {
        const std::string name = TrimText(rawName);
        const TSConnectParams params = ProbeConnectParamsFor(name);
        io.Out << name << ": ";
        if (name.size() >= sizeof(params.PortName)) {
            io.Out << "name longer than " << sizeof(params.PortName) - 1 << " characters, probing "
                   << params.PortName << ": ";
        }
        int code = device.SetParams(params);
        if (code == 0) {
            code = device.Open();
        }
        if (code != 0) {
            io.Out << "cannot open (" << device.GetResultText(code, true) << ")\n";
            if (const std::string problem = PortAccessProblem(name); !problem.empty()) {
                io.Out << "  " << problem << '\n';
            }
            continue;
        }
        int type = DEVICE_UNKNOWN;
        code = device.ReadDeviceId(&type);
        device.Close();
        if (code != 0) {
            io.Out << "no answer (" << device.GetResultText(code, true) << ")\n";
            continue;
        }
        anyDevice = true;
        io.Out << "device type " << type << ", " << DeviceTypeText(type) << '\n';
    }
    return anyDevice ? 0 : kExitFailure;
}

}  // namespace veltrin
