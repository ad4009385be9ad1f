#include "win32ui/programwindows.h"

#include <windows.h>

#include <commctrl.h>

#include <exception>

#include "common/widetext_win32.h"
#include "win32ui/mainwindow.h"

namespace veltrin::win32ui {
namespace {

void ShowException(const char* what) {
    MessageBoxW(nullptr, WideFromUtf8(what).c_str(), L"Veltrin", MB_OK | MB_ICONERROR);
}

}  // namespace

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
    } catch (const std::exception& e) {
        ShowException(e.what());
    } catch (...) {
        ShowException("");
    }
    return 0;
}

}  // namespace veltrin::win32ui
