// The Veltrin window as the program shows it, but fetching its update data from the given
// server (trusting an extra CA) and probing only the given serial ports.

#include <cstdio>
#include <string>

#include "ui/programwindows.h"
#include "ui/updateservices.h"
#include "ui/veltrinapplication.h"

namespace {

constexpr char kUsage[] =
    "usage: veltrin-demo-window --server URL [--ca-file FILE] [--port NAME]...\n"
    "  Opens the Veltrin window with the update server base URL (e.g.\n"
    "  https://127.0.0.1:8443/pipette-update), trusting FILE's CA besides the system's,\n"
    "  and searching the pipette only on the named ports (e.g. pts/7).\n";

struct Arguments {
    std::string Server;
    veltrin::HttpsClientOptions Client;
    veltrin::UpdateThreadSettings Settings;
};

bool ParseArguments(int argc, char** argv, Arguments& arguments) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc) {
            return false;
        }
        const std::string value = argv[++i];
        if (option == "--server") {
            arguments.Server = value;
        } else if (option == "--ca-file") {
            arguments.Client.CaFile = value;
        } else if (option == "--port") {
            arguments.Settings.OverridePorts = true;
            arguments.Settings.Ports.push_back(value);
        } else {
            return false;
        }
    }
    return !arguments.Server.empty();
}

}  // namespace

int main(int argc, char* argv[]) {
    Arguments arguments;
    if (!ParseArguments(argc, argv, arguments)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    veltrin::VeltrinApplication app(qtArgc, qtArgv);
    veltrin::RunProgramWindows(
        veltrin::UpdateServices(arguments.Server, arguments.Client, arguments.Settings));
    return 0;
}
