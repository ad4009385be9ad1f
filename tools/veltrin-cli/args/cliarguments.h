#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace veltrin {

enum class CliCommand { Help, Ports, Probe, Check, Download, Update, History };

// The command line of veltrin-cli, parsed.
struct CliArguments {
    CliCommand Command = CliCommand::Help;
    std::vector<std::string> Ports;  // probe's PORT..., update's --port
    std::string File;                // check
    std::string Directory;           // download
    std::string Server;              // --server; empty: the built-in update server
    std::string CaFile;              // --ca-file: an extra CA to trust
    std::vector<std::string> TrustKeys;  // --trust-key: PEM keys whose signature update data needs
    bool Yes = false;                // --yes: consent to the loss of the device's user data
    bool AllowReinstall = false;     // --allow-reinstall: --yes also rewrites a current device
    bool AllowOlder = false;         // --allow-older: --yes also puts an older release on one
    int PortOptions = 0;             // how many --port options update was given
    bool AllPorts = false;           // --all-ports: every port where a supported pipette answers
    bool Json = false;               // --json: one JSON object per line on stdout
    bool Csv = false;                // history --csv
    char CsvSeparator = ',';         // history --csv=semicolon: ';', with a BOM
    std::string Device;              // history --device: part of the device's info text or type
    std::string Since;               // history --since, as "YYYY-MM-DDThh:mm:ssZ"
    std::string Until;               // history --until, the last second it keeps
    std::string Outcome;             // history --outcome: success, failed or cancelled
    std::size_t Last = 0;            // history --last N: only the N newest; 0 all
    std::string HistoryFile;         // --history-file; empty: the user's own
    std::string TraceFile;           // update --trace; empty: no trace
};


// update with several --port options or --all-ports: one worker per device, all at once.
bool IsSeveralDeviceRun(const CliArguments& arguments);

// Parses the arguments after the program name. Returns true on success; otherwise error says
// what is wrong.
bool ParseCliArguments(const std::vector<std::string>& args, CliArguments& parsed,
                       std::string& error);

// The text printed for --help and after a usage error.
const char* CliUsage();

}  // namespace veltrin
