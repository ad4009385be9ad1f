#include <exception>

#include "ui/programwindows.h"
#include "ui/updateservices.h"
#include "ui/veltrinapplication.h"

int main(int argc, char* argv[]) {
    // The program takes no arguments: Qt sees only the program name.
    int qtArgc = argc > 0 ? 1 : 0;
    char* qtArgv[] = {argc > 0 ? argv[0] : nullptr, nullptr};
    veltrin::VeltrinApplication app(qtArgc, qtArgv);
    try {
        veltrin::ProgramWindows windows = veltrin::CreateProgramWindows(veltrin::DefaultServices());
        windows.Form_Main->show();
        app.exec();
    } catch (const std::exception& e) {
        veltrin::VeltrinApplication::ShowException(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        veltrin::VeltrinApplication::ShowException(QString());
    }
    return 0;
}
