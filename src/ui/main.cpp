#include "ui/programwindows.h"
#include "ui/veltrinapplication.h"
#include "windowlogic/updateservices.h"
#include "wiring/realtransports.h"

int main(int argc, char* argv[]) {
    // The program takes no arguments: Qt sees only the program name.
    int qtArgc = argc > 0 ? 1 : 0;
    char* qtArgv[] = {argc > 0 ? argv[0] : nullptr, nullptr};
    veltrin::VeltrinApplication app(qtArgc, qtArgv);
    veltrin::RunProgramWindows(veltrin::DefaultServices(veltrin::MakeRealCommandSet));
    return 0;
}
