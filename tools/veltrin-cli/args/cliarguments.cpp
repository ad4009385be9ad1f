#include "args/cliarguments.h"

#include <cstdint>
#include <map>
#include <optional>

#include "args/clioptions.h"
#include "transport/portname.h"

namespace veltrin {

namespace {

struct CommandSpec {
    CliCommand Command;
    std::size_t MinPositional;
    std::size_t MaxPositional;  // SIZE_MAX: any number
};

const std::map<std::string, CommandSpec>& Commands() {
    static const std::map<std::string, CommandSpec> commands = {
        {"ports", {CliCommand::Ports, 0, 0}},   {"probe", {CliCommand::Probe, 0, SIZE_MAX}},
        {"check", {CliCommand::Check, 1, 1}},   {"download", {CliCommand::Download, 1, 1}},
        {"update", {CliCommand::Update, 0, 0}}, {"history", {CliCommand::History, 0, 0}},
        {"help", {CliCommand::Help, 0, 0}},
    };
    return commands;
}

enum class OptionOutcome { Stored, Help, Refused };

// The option at args[at] and the arguments it takes as its value; at moves past them.
OptionOutcome TakeOption(const std::vector<std::string>& args, std::size_t& at,
                         const CommandSpec* command, CliArguments& parsed, std::string& error) {
    OptionUse use(args, at);
    const CliOption* option =
        FindCliOption(use, command ? std::optional(command->Command) : std::nullopt);
    if (option == nullptr) {
        error = command == nullptr ? "an option before the command: " + args[at]
                                   : "unknown option for this command: " + args[at];
        return OptionOutcome::Refused;
    }
    if (option->Store == nullptr)
        return OptionOutcome::Help;
    return option->Store(use, parsed, error) ? OptionOutcome::Stored : OptionOutcome::Refused;
}

// The system's full spellings (/dev/ttyACM0, \\.\COM12) name the port the transport opens.
// Two searches of one run on one port would fight over it, under whatever spelling it is
// named: the second would find it in use by the first. (probe asks each port once.)
bool CheckPortNames(CliArguments& parsed, std::string& error) {
    for (auto& port : parsed.Ports)
        port = BarePortName(port);
    for (std::size_t i = 0; parsed.Command == CliCommand::Update && i < parsed.Ports.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (PortIdentity(parsed.Ports[i]) == PortIdentity(parsed.Ports[j])) {
                error = "port given twice: " + parsed.Ports[i];
                return false;
            }
        }
    }
    return true;
}

// What only the whole command line shows: options that exclude each other, the positional
// arguments, which go where their command reads them.
bool CheckCommandLine(const CommandSpec* command, const std::vector<std::string>& positional,
                      CliArguments& parsed, std::string& error) {
    if (command == nullptr) {
        error = "no command given";
        return false;
    }
    if (parsed.AllPorts && parsed.PortOptions > 0) {
        error = "--all-ports and --port exclude each other";
        return false;
    }
    if (parsed.Command == CliCommand::Probe)
        parsed.Ports = positional;
    if (!CheckPortNames(parsed, error))
        return false;
    if (!parsed.Since.empty() && !parsed.Until.empty() && parsed.Since > parsed.Until) {
        error = "--since is after --until";
        return false;
    }
    if (parsed.Json && parsed.Csv) {
        error = "--json and --csv exclude each other";
        return false;
    }
    if (positional.size() < command->MinPositional || positional.size() > command->MaxPositional) {
        error = "wrong number of arguments";
        return false;
    }
    if (parsed.Command == CliCommand::Check)
        parsed.File = positional[0];
    if (parsed.Command == CliCommand::Download)
        parsed.Directory = positional[0];
    return true;
}

}  // namespace

bool ParseCliArguments(const std::vector<std::string>& args, CliArguments& parsed,
                       std::string& error) {
    parsed = CliArguments{};
    error.clear();
    const CommandSpec* command = nullptr;
    std::vector<std::string> positional;
    bool afterDoubleDash = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (afterDoubleDash || !IsOptionArgument(args[i])) {
            if (command != nullptr) {
                positional.push_back(args[i]);
                continue;
            }
            const auto found = Commands().find(args[i]);
            if (found == Commands().end()) {
                error = "unknown command: " + args[i];
                return false;
            }
            command = &found->second;
            parsed.Command = command->Command;
        } else if (args[i] == "--") {
            afterDoubleDash = true;
        } else {
            switch (TakeOption(args, i, command, parsed, error)) {
                case OptionOutcome::Stored:
                    break;
                case OptionOutcome::Help:
                    parsed = CliArguments{};
                    return true;
                case OptionOutcome::Refused:
                    return false;
            }
        }
    }
    return CheckCommandLine(command, positional, parsed, error);
}

bool IsSeveralDeviceRun(const CliArguments& arguments) {
    return arguments.Command == CliCommand::Update &&
           (arguments.AllPorts || arguments.PortOptions > 1);
}

namespace {

// The parts of --help around the options, which the option table prints.
constexpr const char* kCommandsHelp =
    "usage: veltrin-cli COMMAND [OPTIONS]\n"
    "\n"
    "Commands:\n"
    "  ports                      list the system's serial ports\n"
    "  probe [--server URL] [PORT...]\n"
    "                             per port (all ports if none): the device, its\n"
    "                             application and bootloader versions, its info text\n"
    "                             and what update --yes would do there\n"
    "  check FILE                 check a firmware file (.hex) or a variant file (.par)\n"
    "  download [--server URL] DIR\n"
    "                             fetch and check the update data into a folder\n"
    "  update [--server URL] [--port NAME...] [--yes] [--json]\n"
    "                             download, search the device and update it; with\n"
    "                             --yes also --allow-reinstall, --allow-older\n"
    "  update [--server URL] (--port A --port B... | --all-ports) --yes\n"
    "                             update several pipettes at once, one per port, with\n"
    "                             a progress line each and a summary table at the end\n"
    "  history [FILTER...] [--json | --csv[=semicolon]]\n"
    "                             the update history of this user, oldest first;\n"
    "                             FILTER: --device, --port, --outcome, --since,\n"
    "                             --until, --last\n"
    "\n";

constexpr const char* kExitStatusHelp =
    "Exit status of update: 0 success, otherwise the result code of the run;\n"
    "100 cancelled or answered No, 101 no update data, 103 left alone (up to date\n"
    "or newer than the release, nothing written), 64 usage error.\n"
    "Exit status of an update of several devices: 0 every device succeeded,\n"
    "102 at least one failed or was cancelled (the summary names it), 103 every\n"
    "device was left alone, 2 no supported\n"
    "pipette on any port (--all-ports), 101 no update data, 64 usage error.\n"
    "Other commands: 0 success, 1 failure, 64 usage error.\n";

}  // namespace

const char* CliUsage() {
    static const std::string usage =
        std::string(kCommandsHelp) + "Options:\n" + CliOptionsHelp() + "\n" + kExitStatusHelp;
    return usage.c_str();
}

}  // namespace veltrin
