// ports and probe: what the system offers and what answers on it.

#include <memory>
#include <string>
#include <vector>

#include "commands.h"
#include "common/printabletext.h"
#include "common/texttrim.h"
#include "jsonevents.h"
#include "probeconnection.h"
#include "protocol/clconnectpipetten.h"
#include "protocol/devicetypes.h"
#include "transport/portaccess.h"
#include "wiring/realtransports.h"

namespace veltrin {

namespace {

// One line per port: whether it opened, the device's answer or the failure's code and text.
int ProbeAsJson(ClConnectPipetten& device, const std::vector<std::string>& ports, CliIo& io) {
    bool anyDevice = false;
    for (const auto& rawName : ports) {
        const std::string name = TrimText(rawName);
        const TSConnectParams params = ProbeConnectParamsFor(name);
        Json line = {{"port", name}, {"probed_port", params.PortName}};
        int code = device.SetParams(params);
        if (code == 0) {
            code = device.Open();
        }
        line["opened"] = code == 0;
        int type = DEVICE_UNKNOWN;
        if (code == 0) {
            code = device.ReadDeviceId(&type);
            device.Close();
        }
        line["result_code"] = code;
        line["result_text"] = code == 0 ? std::string() : device.GetResultText(code, true);
        line["device_type"] = code == 0 ? Json(type) : Json(nullptr);
        line["device_type_text"] = code == 0 ? Json(DeviceTypeText(type)) : Json(nullptr);
        const std::string problem = line["opened"].get<bool>() ? "" : PortAccessProblem(name);
        line["access_problem"] = problem.empty() ? Json(nullptr) : Json(problem);
        anyDevice = anyDevice || code == 0;
        WriteJsonLine(io.Out, line);
    }
    return anyDevice ? 0 : kExitFailure;
}

}  // namespace

int RunPortsCommand(const CliArguments& arguments, CliIo& io) {
    const std::unique_ptr<ClConnectPipetten> realDevice = MakeRealCommandSet();
    ClConnectPipetten& device = *realDevice;
    device.SelectTransport(kSerialTransport);
    std::vector<std::string> ports;
    device.GetPortList(ports);
    if (arguments.Json) {
        for (const auto& port : ports) {
            const std::string name = TrimText(port);
            const std::string problem = PortAccessProblem(name);
            WriteJsonLine(io.Out, {{"port", name},
                                   {"access_problem", problem.empty() ? Json(nullptr) : Json(problem)}});
        }
        return 0;
    }
    if (ports.empty()) {
        io.Out << "No serial ports found.\n";
    }
    for (const auto& port : ports) {
        const std::string name = TrimText(port);
        io.Out << PrintableText(name) << '\n';
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
        if (!arguments.Json) {
            io.Out << "No serial ports found.\n";
        }
        return kExitFailure;
    }
    if (arguments.Json) {
        return ProbeAsJson(device, ports, io);
    }
    bool anyDevice = false;
    for (const auto& rawName : ports) {
        const std::string name = TrimText(rawName);
        const TSConnectParams params = ProbeConnectParamsFor(name);
        io.Out << PrintableText(name) << ": ";
        if (name.size() >= sizeof(params.PortName)) {
            io.Out << "name longer than " << sizeof(params.PortName) - 1 << " characters\n";
            continue;
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
