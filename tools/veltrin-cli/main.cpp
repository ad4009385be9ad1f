#include <iostream>
#include <string>
#include <vector>

#include "commands/clirun.h"
#include "common/programarguments.h"
#include "history/historyfile.h"
#include "platform/sessionwatch.h"
#include "platform/stoprequest.h"
#include "platform/stopsignals.h"
#include "platform/terminal.h"

int main(int argc, char** argv) {
    // The first Ctrl+C (or termination signal) asks the running update to stop at its next
    // check point; a second one ends the program at once.
    veltrin::InstallStopHandlers();
    veltrin::UseLineBufferedOutput();
    const std::vector<std::string> args = veltrin::ProgramArguments(argc, argv);
    veltrin::CliIo io{std::cout, std::cerr, std::cin, veltrin::IsTerminalOutput(),
                      veltrin::IsTerminalInput()};
    veltrin::CliEnvironment environment;
    environment.Interrupted = &veltrin::StopFlag();
    environment.HistoryFile = veltrin::DefaultHistoryFile();
    veltrin::SessionWatch session;
    const int status = veltrin::RunCli(args, io, environment);
    std::cout.flush();
    veltrin::NoteRunEnded();
    return status;
}
