// ports and probe: what the system offers and what answers on it.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "commands.h"
#include "common/printabletext.h"
#include "common/texttrim.h"
#include "engine/parallelprobe.h"
#include "jsonevents.h"
#include "probeconnection.h"
#include "protocol/clconnectpipetten.h"
#include "protocol/devicetypes.h"
#include "transport/portaccess.h"
#include "transport/portname.h"
#include "wiring/realtransports.h"

namespace veltrin {

namespace {

// Where a port did not open: the other run that holds it, or why this user may not open it.
std::string AccessProblem(const std::string& name, const PortProbe& probe) {
    if (probe.InUse)
        return "in use by another update run (" + PortLockHolderText(probe.Holder) + ")";
    return probe.Opened ? std::string() : PortAccessProblem(name);
}

// One line per port: whether it opened, the device's answer or the failure's code and text.
void PrintProbeAsJson(const std::string& name, const PortProbe& probe, CliIo& io) {
    const std::string problem = AccessProblem(name, probe);
    WriteJsonLine(io.Out,
                  {{"port", name},
                   {"probed_port", ProbeConnectParamsFor(name).PortName},
                   {"opened", probe.Opened},
                   {"result_code", probe.ResultCode},
                   {"result_text", probe.ResultText},
                   {"device_type", probe.ResultCode == 0 ? Json(probe.Type) : Json(nullptr)},
                   {"device_type_text",
                    probe.ResultCode == 0 ? Json(DeviceTypeText(probe.Type)) : Json(nullptr)},
                   {"access_problem", problem.empty() ? Json(nullptr) : Json(problem)}});
}

void PrintProbe(const std::string& name, const PortProbe& probe, CliIo& io) {
    io.Out << PrintableText(name) << ": ";
    if (name.size() >= kPortNameSize) {
        io.Out << "name longer than " << kPortNameSize - 1 << " characters\n";
    } else if (probe.InUse) {
        io.Out << "in use by another update run ("
               << PrintableText(PortLockHolderText(probe.Holder)) << ")\n";
    } else if (!probe.Opened) {
        io.Out << "cannot open (" << probe.ResultText << ")\n";
        if (const std::string problem = PortAccessProblem(name); !problem.empty()) {
            io.Out << "  " << problem << '\n';
        }
    } else if (probe.ResultCode != 0) {
        io.Out << "no answer (" << probe.ResultText << ")\n";
    } else {
        io.Out << "device type " << probe.Type << ", " << DeviceTypeText(probe.Type) << '\n';
    }
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
            WriteJsonLine(io.Out,
                          {{"port", name},
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
    std::vector<std::string> ports = arguments.Ports;
    if (ports.empty()) {
        const std::unique_ptr<ClConnectPipetten> device = MakeRealCommandSet();
        device->SelectTransport(kSerialTransport);
        device->GetPortList(ports);
    }
    if (ports.empty()) {
        if (!arguments.Json) {
            io.Out << "No serial ports found.\n";
        }
        return kExitFailure;
    }
    // All at once, as the update searches: a silent port costs seconds, and no more than once.
    // A port named twice (two spellings, or a link) is asked once: two probes of one port at
    // the same time would find it in use by each other.
    std::vector<std::string> distinct;
    std::vector<std::size_t> probeOf;
    std::map<std::string, std::size_t> byIdentity;
    for (auto& port : ports) {
        port = TrimText(port);
        const auto [entry, added] = byIdentity.emplace(PortIdentity(port), distinct.size());
        if (added)
            distinct.push_back(port);
        probeOf.push_back(entry->second);
    }
    const std::vector<PortProbe> probes =
        ProbePortsAtOnce(distinct, ProbeConnectParams(), SleepFunction(), nullptr);
    bool anyDevice = false;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        const PortProbe& probe = probes[probeOf[i]];
        if (arguments.Json) {
            PrintProbeAsJson(ports[i], probe, io);
        } else {
            PrintProbe(ports[i], probe, io);
        }
        anyDevice = anyDevice || (probe.Opened && probe.ResultCode == 0);
    }
    return anyDevice ? 0 : kExitFailure;
}

}  // namespace veltrin
