// ports: what the system offers.

#include <memory>
#include <string>
#include <vector>

#include "commands/commands.h"
#include "commands/probeconnection.h"
#include "common/printabletext.h"
#include "common/texttrim.h"
#include "events/jsonevents.h"
#include "protocol/clconnectpipetten.h"
#include "transport/portaccess.h"
#include "wiring/realtransports.h"

namespace veltrin {

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

}  // namespace veltrin
