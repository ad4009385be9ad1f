#pragma once

#include <memory>

#include "ui/tform_main.h"
#include "ui/tform_messagethread.h"
#include "ui/tform_messagethreadend.h"
#include "windowlogic/mainwindowservices.h"

namespace veltrin {

// The program's three windows, alive until the program ends. The main window is declared last
// so that it goes first: its teardown may still serve a worker's last events.
struct ProgramWindows {
    std::unique_ptr<TForm_MessageThreadEnd> Form_MessageThreadEnd;
    std::unique_ptr<TForm_MessageThread> Form_MessageThread;
    std::unique_ptr<TForm_Main> Form_Main;
};

// Creates the main window, then the end dialog, then the question dialog, and connects them.
// The main window's constructor already downloads the update data and may start the first run;
// that run's events are served once the event loop runs, when both dialogs exist.
ProgramWindows CreateProgramWindows(MainWindowServices services);

// Creates the windows, shows the main window and runs the event loop until it closes. An
// exception on the way is shown in the standard error box. Needs the application object.
void RunProgramWindows(MainWindowServices services);

}  // namespace veltrin
