#include <atomic>
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "clirun.h"
#include "common/programarguments.h"
#include "history/historyfile.h"
#include "sessionwatch.h"
#include "terminal.h"

namespace {

std::atomic<bool> interrupted{false};

// The first Ctrl+C asks the running update to stop at its next check point; a second one ends
// the program at once.
extern "C" void OnInterrupt(int) {
    interrupted = true;
    std::signal(SIGINT, SIG_DFL);
}

}  // namespace

int main(int argc, char** argv) {
    std::signal(SIGINT, OnInterrupt);
    const std::vector<std::string> args = veltrin::ProgramArguments(argc, argv);
    veltrin::CliIo io{std::cout, std::cerr, std::cin, veltrin::IsTerminalOutput(),
                      veltrin::IsTerminalInput()};
    veltrin::CliEnvironment environment;
    environment.Interrupted = &interrupted;
    environment.HistoryFile = veltrin::DefaultHistoryFile();
    veltrin::SessionWatch session(interrupted);
    const int status = veltrin::RunCli(args, io, environment);
    session.RunEnded();
    std::cout.flush();
    return status;
}
