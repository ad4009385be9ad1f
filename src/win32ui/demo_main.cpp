// Opens the Veltrin window against a given update server and COM ports, trusting an extra CA
// file. veltrin.exe itself takes no arguments; this one exists so that a developer and the tests
// can point the very same window at a local server and a simulated pipette.
#include <windows.h>

#include <string>
#include <vector>

#include "common/programarguments.h"
#include "common/widetext_win32.h"
#include "win32ui/programwindows.h"
#include "windowlogic/updateservices.h"

namespace {

int Usage() {
    MessageBoxW(nullptr,
                L"usage: veltrin-demo-window --server URL [--ca-file FILE] [--port NAME ...]\n"
                L"URL is the update server base, e.g. https://127.0.0.1:8443/pipette-update",
                L"veltrin-demo-window", MB_OK | MB_ICONINFORMATION);
    return 2;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    const std::vector<std::string> args = veltrin::ProgramArguments(0, nullptr);
    std::string server;
    veltrin::HttpsClientOptions client;
    veltrin::UpdateThreadSettings worker;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == "--server" && hasValue) {
            server = args[++i];
        } else if (args[i] == "--ca-file" && hasValue) {
            client.CaFile = args[++i];
        } else if (args[i] == "--port" && hasValue) {
            worker.OverridePorts = true;
            worker.Ports.push_back(args[++i]);
        } else {
            return Usage();
        }
    }
    if (server.empty()) {
        return Usage();
    }
    return veltrin::win32ui::RunProgramWindows(veltrin::UpdateServices(server, client, worker),
                                               showCommand);
}
