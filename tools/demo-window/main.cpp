// Opens the Veltrin window against a given update server and serial ports, trusting an extra CA
// file. The program `veltrin` itself takes no arguments; this one exists so that the demo and a
// developer can point the very same window at a local server and a simulated pipette.
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "ui/programwindows.h"
#include "ui/veltrinapplication.h"
#include "windowlogic/demowindowoptions.h"
#include "wiring/realtransports.h"

int main(int argc, char* argv[]) {
    veltrin::MainWindowServices services;
    if (!veltrin::ParseDemoWindowOptions(std::vector<std::string>(argv + 1, argv + argc),
                                         veltrin::MakeRealCommandSet, services)) {
        std::fputs(veltrin::DemoWindowUsage(), stderr);
        return 2;
    }
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    veltrin::VeltrinApplication app(qtArgc, qtArgv);
    veltrin::RunProgramWindows(std::move(services));
    return 0;
}
