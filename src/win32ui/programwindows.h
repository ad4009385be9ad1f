#pragma once

#include "windowlogic/mainwindowservices.h"

namespace veltrin::win32ui {

// The program's windows from start to end: common controls, the main window with its two
// dialogs, the message loop until the main window is closed. Returns the program's exit code.
int RunProgramWindows(MainWindowServices services, int showCommand);

}  // namespace veltrin::win32ui
