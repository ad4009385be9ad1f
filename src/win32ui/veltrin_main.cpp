// The Windows desktop program. It reads no command line: the update server is fixed when the
// program is built.
#include <windows.h>

#include "win32ui/programwindows.h"
#include "windowlogic/updateservices.h"
#include "wiring/realtransports.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    return veltrin::win32ui::RunProgramWindows(
        veltrin::DefaultServices(veltrin::MakeRealCommandSet), showCommand);
}
