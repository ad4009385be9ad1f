#include "ui/programwindows.h"

#include <QApplication>
#include <exception>

#include "ui/veltrinapplication.h"

namespace veltrin {

ProgramWindows CreateProgramWindows(MainWindowServices services) {
    ProgramWindows windows;
    windows.Form_Main = std::make_unique<TForm_Main>(std::move(services));
    windows.Form_MessageThreadEnd = std::make_unique<TForm_MessageThreadEnd>();
    windows.Form_MessageThread = std::make_unique<TForm_MessageThread>();
    windows.Form_Main->AttachDialogs(windows.Form_MessageThreadEnd.get(),
                                     windows.Form_MessageThread.get());
    return windows;
}

void RunProgramWindows(MainWindowServices services) {
    try {
        ProgramWindows windows = CreateProgramWindows(std::move(services));
        windows.Form_Main->show();
        QApplication::exec();
    } catch (const std::exception& e) {
        VeltrinApplication::ShowException(QString::fromUtf8(e.what()));
    } catch (...) {
        VeltrinApplication::ShowException(QString());
    }
}

}  // namespace veltrin
