#include "cliarguments.h"

#include <cstdint>
#include <map>

#include "common/texttrim.h"

namespace veltrin {

namespace {

// Which options a command takes besides --ca-file and --help.
struct CommandSpec {
    CliCommand Command;
    bool TakesServer;
    bool TakesPortOption;
    bool TakesYes;
    std::size_t MinPositional;
    std::size_t MaxPositional;  // SIZE_MAX: any number
};

const std::map<std::string, CommandSpec>& Commands() {
    static const std::map<std::string, CommandSpec> commands = {
        {"ports", {CliCommand::Ports, false, false, false, 0, 0}},
        {"probe", {CliCommand::Probe, false, false, false, 0, SIZE_MAX}},
        {"check", {CliCommand::Check, false, false, false, 1, 1}},
        {"download", {CliCommand::Download, true, false, false, 1, 1}},
        {"update", {CliCommand::Update, true, true, true, 0, 0}},
        {"help", {CliCommand::Help, false, false, false, 0, 0}},
    };
    return commands;
}

bool IsOption(const std::string& arg) {
    return arg.size() > 1 && arg[0] == '-';
}

}  // namespace

bool ParseCliArguments(const std::vector<std::string>& args, CliArguments& parsed,
                       std::string& error) {
    parsed = CliArguments{};
    error.clear();
    const CommandSpec* entry = nullptr;
    std::vector<std::string> positional;
    bool afterDoubleDash = false;

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (afterDoubleDash || !IsOption(arg)) {
            if (entry == nullptr) {
                const auto found = Commands().find(arg);
                if (found == Commands().end()) {
                    error = "unknown command: " + arg;
                    return false;
                }
                entry = &found->second;
                parsed.Command = entry->Command;
            } else {
                positional.push_back(arg);
            }
            continue;
        }
        if (arg == "--") {
            afterDoubleDash = true;
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            parsed = CliArguments{};
            return true;
        }
        // --name=value is the same as --name value.
        std::string value;
        bool hasInlineValue = false;
        const std::size_t equals = arg.find('=');
        if (arg.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = arg.substr(equals + 1);
            arg = arg.substr(0, equals);
            hasInlineValue = true;
        }
        const auto takeValue = [&](std::string& target) {
            if (hasInlineValue) {
                target = value;
            } else if (i + 1 < args.size()) {
                target = args[++i];
            } else {
                error = arg + " needs a value";
                return false;
            }
            if (target.empty()) {
                error = arg + " needs a value";
                return false;
            }
            return true;
        };

        if (arg == "--ca-file") {
            if (!takeValue(parsed.CaFile)) {
                return false;
            }
        } else if (arg == "--server" && entry != nullptr && entry->TakesServer) {
            if (!takeValue(parsed.Server)) {
                return false;
            }
        } else if (arg == "--port" && entry != nullptr && entry->TakesPortOption) {
            std::string port;
            if (!takeValue(port)) {
                return false;
            }
            parsed.Ports.push_back(port);
            ++parsed.PortOptions;
            // --port NAME... : the names up to the next option.
            while (!hasInlineValue && i + 1 < args.size() && !IsOption(args[i + 1])) {
                parsed.Ports.push_back(args[++i]);
            }
        } else if (arg == "--all-ports" && entry != nullptr && entry->TakesPortOption &&
                   !hasInlineValue) {
            parsed.AllPorts = true;
        } else if ((arg == "--yes" || arg == "-y") && entry != nullptr && entry->TakesYes &&
                   !hasInlineValue) {
            parsed.Yes = true;
        } else {
            error = entry == nullptr ? "an option before the command: " + args[i]
                                    : "unknown option for this command: " + args[i];
            return false;
        }
    }

    if (entry == nullptr) {
        error = "no command given";
        return false;
    }
    if (parsed.AllPorts && parsed.PortOptions > 0) {
        error = "--all-ports and --port exclude each other";
        return false;
    }
    if (IsSeveralDeviceRun(parsed)) {
        // Two workers on one port would fight over it; the second could never open it.
        for (std::size_t i = 0; i < parsed.Ports.size(); ++i) {
            for (std::size_t j = 0; j < i; ++j) {
                if (TrimText(parsed.Ports[i]) == TrimText(parsed.Ports[j])) {
                    error = "port given twice: " + TrimText(parsed.Ports[i]);
                    return false;
                }
            }
        }
    }
    if (positional.size() < entry->MinPositional || positional.size() > entry->MaxPositional) {
        error = "wrong number of arguments";
        return false;
    }
    switch (parsed.Command) {
        case CliCommand::Probe:
            parsed.Ports = positional;
            break;
        case CliCommand::Check:
            parsed.File = positional[0];
            break;
        case CliCommand::Download:
            parsed.Directory = positional[0];
            break;
        default:
            break;
    }
    return true;
}

bool IsSeveralDeviceRun(const CliArguments& arguments) {
    return arguments.Command == CliCommand::Update &&
           (arguments.AllPorts || arguments.PortOptions > 1);
}

const char* CliUsage() {
    return "usage: veltrin-cli COMMAND [OPTIONS]\n"
           "\n"
           "Commands:\n"
           "  ports                      list the system's serial ports\n"
           "  probe [PORT...]            device type and name per port (all ports if none)\n"
           "  check FILE                 check a firmware file (.hex) or a variant file (.par)\n"
           "  download [--server URL] DIR\n"
           "                             fetch and check the update data into a folder\n"
           "  update [--server URL] [--port NAME...] [--yes]\n"
           "                             download, search the device and update it\n"
           "  update [--server URL] (--port A --port B... | --all-ports) --yes\n"
           "                             update several pipettes at once, one per port, with\n"
           "                             a progress line each and a summary table at the end\n"
           "\n"
           "Options:\n"
           "  --server URL    update server base (default: the built-in server); file:// works\n"
           "  --ca-file FILE  trust this CA in addition to the system's trust store\n"
           "  --port NAME...  probe these ports instead of the system's (e.g. pts/7);\n"
           "                  given more than once: update the device of each port at once\n"
           "  --all-ports     update every port where a supported pipette answers, at once\n"
           "  --yes, -y       answer every question with Yes (needed for several devices)\n"
           "  --help, -h      this text\n"
           "\n"
           "Exit status of update: 0 success, otherwise the result code of the run;\n"
           "100 cancelled or answered No, 101 no update data, 64 usage error.\n"
           "Exit status of an update of several devices: 0 every device succeeded,\n"
           "102 at least one failed or was cancelled (the summary names it), 2 no supported\n"
           "pipette on any port (--all-ports), 101 no update data, 64 usage error.\n"
           "Other commands: 0 success, 1 failure, 64 usage error.\n";
}

}  // namespace veltrin
