#include "windowlogic/demowindowoptions.h"

#include <utility>

#include "windowlogic/updateservices.h"

namespace veltrin {

bool ParseDemoWindowOptions(const std::vector<std::string>& args, CommandSetFactory makeCommandSet,
                            MainWindowServices& services) {
    std::string server;
    HttpsClientOptions client;
    UpdateThreadSettings worker;
    worker.MakeCommandSet = std::move(makeCommandSet);
    std::string historyFile;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == "--server" && hasValue) {
            server = args[++i];
        } else if (args[i] == "--ca-file" && hasValue) {
            client.CaFile = args[++i];
        } else if (args[i] == "--history-file" && hasValue) {
            historyFile = args[++i];
        } else if (args[i] == "--port" && hasValue) {
            worker.OverridePorts = true;
            worker.Ports.push_back(args[++i]);
        } else {
            return false;
        }
    }
    if (server.empty()) {
        return false;
    }
    services = UpdateServices(server, std::move(client), std::move(worker));
    services.HistoryFile = std::move(historyFile);
    return true;
}

const char* DemoWindowUsage() {
    return "usage: veltrin-demo-window --server URL [--ca-file FILE] [--port NAME ...]\n"
           "                           [--history-file FILE]\n"
           "  URL is the update server base, e.g. https://127.0.0.1:8443/pipette-update\n";
}

}  // namespace veltrin
