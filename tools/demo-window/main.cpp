// Opens the Veltrin window against a given update server and serial ports, trusting an extra CA
// file. The program `veltrin` itself takes no arguments; this one exists so that the demo and a
// developer can point the very same window at a local server and a simulated pipette.
#include <cstdio>
#include <cstring>
#include <string>

#include "ui/programwindows.h"
#include "windowlogic/updateservices.h"
#include "ui/veltrinapplication.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: veltrin-demo-window --server URL [--ca-file FILE] [--port NAME ...]\n"
                 "  URL is the update server base, e.g. https://127.0.0.1:8443/pipette-update\n");
    return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    std::string server;
    veltrin::HttpsClientOptions client;
    veltrin::UpdateThreadSettings worker;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--server") == 0 && hasValue) {
            server = argv[++i];
        } else if (std::strcmp(argv[i], "--ca-file") == 0 && hasValue) {
            client.CaFile = argv[++i];
        } else if (std::strcmp(argv[i], "--port") == 0 && hasValue) {
            worker.OverridePorts = true;
            worker.Ports.emplace_back(argv[++i]);
        } else {
            return Usage();
        }
    }
    if (server.empty())
        return Usage();

    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    veltrin::VeltrinApplication app(qtArgc, qtArgv);
    veltrin::RunProgramWindows(veltrin::UpdateServices(server, client, worker));
    return 0;
}
