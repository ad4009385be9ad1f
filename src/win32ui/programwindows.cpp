#include "win32ui/programwindows.h"

#include <windows.h>

#include <commctrl.h>

#include "win32ui/exceptiondisplay.h"
#include "win32ui/mainwindow.h"

namespace veltrin::win32ui {

int RunProgramWindows(MainWindowServices services, int showCommand) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    try {
        MainWindow window(std::move(services));
        if (window.Handle() == nullptr) {
            ShowException("The main window could not be created.");
            return 1;
        }
        window.Show(showCommand);
        RunMessageLoop();
    } catch (...) {
        ShowException(CurrentExceptionText());
    }
    return 0;
}

}  // namespace veltrin::win32ui
