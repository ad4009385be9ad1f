#include "commands/clirun.h"

#include <exception>

#include "args/cliarguments.h"
#include "commands/commands.h"

namespace veltrin {

int RunCli(const std::vector<std::string>& args, CliIo& io, const CliEnvironment& environment) {
    try {
        CliArguments arguments;
        std::string error;
        if (!ParseCliArguments(args, arguments, error)) {
            // One line says what is wrong; the whole usage would push it off the screen.
            io.Err << "veltrin-cli: " << error << "\nsee 'veltrin-cli --help'\n";
            return kExitUsage;
        }
        switch (arguments.Command) {
            case CliCommand::Help:
                io.Out << CliUsage();
                return 0;
            case CliCommand::Ports:
                return RunPortsCommand(arguments, io);
            case CliCommand::Probe:
                return RunProbeCommand(arguments, io);
            case CliCommand::Check:
                return RunCheckCommand(arguments, io);
            case CliCommand::Download:
                return RunDownloadCommand(arguments, io);
            case CliCommand::Update:
                return IsSeveralDeviceRun(arguments)
                           ? RunSeveralDeviceUpdate(arguments, io, environment)
                           : RunUpdateCommand(arguments, io, environment);
            case CliCommand::History:
                return RunHistoryCommand(arguments, io, environment);
        }
    } catch (const std::exception& exception) {
        io.Err << "veltrin-cli: " << exception.what() << '\n';
    } catch (...) {
        io.Err << "veltrin-cli: unexpected failure\n";
    }
    return kExitFailure;
}

}  // namespace veltrin
