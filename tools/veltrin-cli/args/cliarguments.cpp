#include "args/cliarguments.h"

#include <cstdint>
#include <map>

#include "common/texttrim.h"
#include "common/utctime.h"
#include "transport/portname.h"

namespace veltrin {

namespace {

// Which options a command takes besides --ca-file and --help.
enum Takes : unsigned {
    kServer = 1,  // also --trust-key: both belong to the commands that read update data
    kPortOption = 2,
    kYes = 4,
    kJson = 8,
    kHistoryFile = 16,
    kHistoryFilters = 32,  // --device, --port, --outcome, --since, --until, --last, --csv
    kTrace = 64,
};

struct CommandSpec {
    CliCommand Command;
    unsigned Options;  // Takes
    std::size_t MinPositional;
    std::size_t MaxPositional;  // SIZE_MAX: any number
};

const std::map<std::string, CommandSpec>& Commands() {
    static const std::map<std::string, CommandSpec> commands = {
        {"ports", {CliCommand::Ports, kJson, 0, 0}},
        {"probe", {CliCommand::Probe, kServer | kJson, 0, SIZE_MAX}},
        {"check", {CliCommand::Check, kJson, 1, 1}},
        {"download", {CliCommand::Download, kServer, 1, 1}},
        {"update",
         {CliCommand::Update, kServer | kPortOption | kYes | kJson | kHistoryFile | kTrace, 0, 0}},
        {"history", {CliCommand::History, kJson | kHistoryFile | kHistoryFilters, 0, 0}},
        {"help", {CliCommand::Help, 0, 0, 0}},
    };
    return commands;
}

bool Accepts(const CommandSpec* entry, Takes option) {
    return entry != nullptr && (entry->Options & option) != 0;
}

// A count of 1 to 1000000 in decimal digits.
bool ParseCount(const std::string& text, std::size_t& count) {
    if (text.empty() || text.size() > 7 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    count = std::stoul(text);
    return count >= 1 && count <= 1000000;
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
        } else if (arg == "--server" && Accepts(entry, kServer)) {
            if (!takeValue(parsed.Server)) {
                return false;
            }
        } else if (arg == "--trust-key" && Accepts(entry, kServer)) {
            std::string key;
            if (!takeValue(key)) {
                return false;
            }
            parsed.TrustKeys.push_back(key);
        } else if (arg == "--port" &&
                   (Accepts(entry, kPortOption) || Accepts(entry, kHistoryFilters))) {
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
        } else if (arg == "--all-ports" && Accepts(entry, kPortOption) && !hasInlineValue) {
            parsed.AllPorts = true;
        } else if ((arg == "--yes" || arg == "-y") && Accepts(entry, kYes) && !hasInlineValue) {
            parsed.Yes = true;
        } else if (arg == "--allow-reinstall" && Accepts(entry, kYes) && !hasInlineValue) {
            parsed.AllowReinstall = true;
        } else if (arg == "--allow-older" && Accepts(entry, kYes) && !hasInlineValue) {
            parsed.AllowOlder = true;
        } else if (arg == "--json" && Accepts(entry, kJson) && !hasInlineValue) {
            parsed.Json = true;
        } else if (arg == "--csv" && Accepts(entry, kHistoryFilters)) {
            parsed.Csv = true;
            // A spreadsheet with German settings splits columns at ';' only.
            if (hasInlineValue && value == "semicolon") {
                parsed.CsvSeparator = ';';
            } else if (hasInlineValue && value != "comma") {
                error = "--csv takes no value but comma or semicolon: " + value;
                return false;
            }
        } else if (arg == "--outcome" && Accepts(entry, kHistoryFilters)) {
            if (!takeValue(parsed.Outcome))
                return false;
            if (parsed.Outcome != "success" && parsed.Outcome != "failed" &&
                parsed.Outcome != "cancelled" && parsed.Outcome != "up-to-date" &&
                parsed.Outcome != "newer-than-release") {
                error =
                    "--outcome needs success, failed, cancelled, up-to-date or "
                    "newer-than-release: " +
                    parsed.Outcome;
                return false;
            }
        } else if (arg == "--last" && Accepts(entry, kHistoryFilters)) {
            std::string count;
            if (!takeValue(count))
                return false;
            if (!ParseCount(count, parsed.Last)) {
                error = "--last needs a number of runs from 1 to 1000000: " + count;
                return false;
            }
        } else if (arg == "--device" && Accepts(entry, kHistoryFilters)) {
            if (!takeValue(parsed.Device)) {
                return false;
            }
        } else if ((arg == "--since" || arg == "--until") && Accepts(entry, kHistoryFilters)) {
            const bool since = arg == "--since";
            std::string date;
            if (!takeValue(date)) {
                return false;
            }
            if (!ParseUtcDate(date, since ? DateBound::Start : DateBound::End,
                              since ? parsed.Since : parsed.Until)) {
                error = arg + " needs a date such as 2026-03-01 or 2026-03-01T14:30 (UTC): " + date;
                return false;
            }
        } else if (arg == "--trace" && Accepts(entry, kTrace)) {
            if (!takeValue(parsed.TraceFile)) {
                return false;
            }
        } else if (arg == "--history-file" && Accepts(entry, kHistoryFile)) {
            if (!takeValue(parsed.HistoryFile)) {
                return false;
            }
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
    if (parsed.Command == CliCommand::Probe) {
        parsed.Ports = positional;
    }
    // The system's full spellings (/dev/ttyACM0, \\.\COM12) name the port the transport opens.
    for (auto& port : parsed.Ports)
        port = BarePortName(port);
    // Two searches of one run on one port would fight over it, under whatever spelling it is
    // named: the second would find it in use by the first. (probe asks each port once.)
    for (std::size_t i = 0; parsed.Command == CliCommand::Update && i < parsed.Ports.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (PortIdentity(parsed.Ports[i]) == PortIdentity(parsed.Ports[j])) {
                error = "port given twice: " + parsed.Ports[i];
                return false;
            }
        }
    }
    if (!parsed.Since.empty() && !parsed.Until.empty() && parsed.Since > parsed.Until) {
        error = "--since is after --until";
        return false;
    }
    if (parsed.Json && parsed.Csv) {
        error = "--json and --csv exclude each other";
        return false;
    }
    if (positional.size() < entry->MinPositional || positional.size() > entry->MaxPositional) {
        error = "wrong number of arguments";
        return false;
    }
    switch (parsed.Command) {
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
           "\n"
           "Options:\n"
           "  --server URL    update server base (default: the built-in server); file:// works\n"
           "  --ca-file FILE  trust this CA in addition to the system's trust store\n"
           "  --trust-key FILE  download, probe, update: use update data only when its\n"
           "                    SHA256SUMS is signed by this PEM public key (may be given\n"
           "                    more than once)\n"
           "  --port NAME...  probe these ports instead of the system's (e.g. pts/7);\n"
           "                  given more than once: update the device of each port at once\n"
           "  --all-ports     update every port where a supported pipette answers, at once\n"
           "  --yes, -y       update: consent to the loss of each pipette's adjustments\n"
           "                  (needed for several devices); a pipette already on the release\n"
           "                  or newer is left alone\n"
           "  --allow-reinstall\n"
           "                  update --yes: also rewrite a pipette already on the release\n"
           "  --allow-older   update --yes: also put the release on a pipette that is newer\n"
           "  --json          one JSON object per line on stdout (ports, probe, check, update,\n"
           "                  history)\n"
           "  --device TEXT   history: only runs whose device info text or device type contains\n"
           "                  TEXT\n"
           "  --port NAME...  history: only runs on these ports\n"
            "  --outcome OUTCOME  history: only runs that ended so: success, failed,\n"
            "                     cancelled, up-to-date or newer-than-release (left alone)\n"
           "  --since DATE    history: only runs started at or after DATE (UTC), e.g. 2026-03-01\n"
           "  --until DATE    history: only runs started at or before DATE (UTC); a day without\n"
           "                  a time counts to its end\n"
           "  --last N        history: only the N newest of the runs left\n"
           "  --csv           history: comma-separated values with a header line\n"
           "  --csv=semicolon  history: for a spreadsheet with German settings: ';'\n"
           "                   between cells, UTF-8 with a byte order mark, CRLF line ends\n"
           "  --history-file FILE  update, history: this history file instead of the\n"
           "                       user's own\n"
           "  --trace FILE    update: write the trace of the run (steps, memory blocks) to\n"
           "                  FILE; with several devices one file per port, FILE's name\n"
           "                  with the port added (trace-ttyACM0.txt)\n"
           "  --help, -h      this text\n"
           "\n"
           "Exit status of update: 0 success, otherwise the result code of the run;\n"
           "100 cancelled or answered No, 101 no update data, 103 left alone (up to date\n"
           "or newer than the release, nothing written), 64 usage error.\n"
           "Exit status of an update of several devices: 0 every device succeeded,\n"
           "102 at least one failed or was cancelled (the summary names it), 103 every\n"
           "device was left alone, 2 no supported\n"
           "pipette on any port (--all-ports), 101 no update data, 64 usage error.\n"
           "Other commands: 0 success, 1 failure, 64 usage error.\n";
}

}  // namespace veltrin
