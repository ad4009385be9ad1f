#pragma once

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
    bool Yes = false;                // --yes: answer every question with Yes
    int PortOptions = 0;             // how many --port options update was given
    bool AllPorts = false;           // --all-ports: every port where a supported pipette answers
    bool Json = false;               // --json: one JSON object per line on stdout
    bool Csv = false;                // history --csv
    std::string Device;              // history --device: part of the device's info text
    std::string Since;               // history --since, as "YYYY-MM-DDThh:mm:ssZ"
    std::string HistoryFile;         // --history-file; empty: the user's own
};


// update with several --port options or --all-ports: one worker per device, all at once.
bool IsSeveralDeviceRun(const CliArguments& arguments);

// "YYYY-MM-DD", "YYYY-MM-DDThh:mm" or "YYYY-MM-DDThh:mm:ss" (a trailing Z allowed; times are
// UTC) as "YYYY-MM-DDThh:mm:ssZ", comparable with a history record's time. False when the text
// is none of these.
bool ParseSinceDate(const std::string& text, std::string& utcTime);

// Parses the arguments after the program name. Returns true on success; otherwise error says
// what is wrong.
bool ParseCliArguments(const std::vector<std::string>& args, CliArguments& parsed,
                       std::string& error);

// The text printed for --help and after a usage error.
const char* CliUsage();

}  // namespace veltrin
