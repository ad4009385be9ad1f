// Opens the Veltrin window against a given update server and COM ports, trusting an extra CA
// file. veltrin.exe itself takes no arguments; this one exists so that a developer and the tests
// can point the very same window at a local server and a simulated pipette.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "common/programarguments.h"
#include "common/widetext_win32.h"
#include "win32ui/programwindows.h"
#include "windowlogic/demowindowoptions.h"
#include "wiring/realtransports.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    veltrin::MainWindowServices services;
    if (!veltrin::ParseDemoWindowOptions(veltrin::ProgramArguments(0, nullptr),
                                         veltrin::MakeRealCommandSet, services)) {
        MessageBoxW(nullptr, veltrin::WideFromUtf8(veltrin::DemoWindowUsage()).c_str(),
                    L"veltrin-demo-window", MB_OK | MB_ICONINFORMATION);
        return 2;
    }
    return veltrin::win32ui::RunProgramWindows(std::move(services), showCommand);
}
