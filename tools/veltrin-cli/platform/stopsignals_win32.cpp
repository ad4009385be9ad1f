#include <windows.h>

#include <chrono>

#include "platform/stoprequest.h"
#include "platform/stopsignals.h"

namespace veltrin {

namespace {

BOOL WINAPI OnConsoleEvent(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
            // The first asks the run to stop; for a second the system's own handler ends the
            // program at once.
            return RequestStop() ? TRUE : FALSE;
        case CTRL_CLOSE_EVENT:
            // The process ends when this returns, or when Windows stops waiting for it: give the
            // run all that time to reach its check point, tell the device and write its record.
            RequestStop();
            WaitForRunEnd(std::chrono::minutes(1));
            return TRUE;
        default:
            // Log-off and shutdown reach a program with a window only through its messages.
            return FALSE;
    }
}

}  // namespace

void InstallStopHandlers() {
    // Writing to a closed pipe fails with an error here; there is no signal to turn off.
    // A program started in a new process group has Ctrl+C turned off; it stops runs here too.
    ::SetConsoleCtrlHandler(nullptr, FALSE);
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

}  // namespace veltrin
