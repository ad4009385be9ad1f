#include "args/clioptions.h"

#include <algorithm>
#include <string_view>

#include "common/utctime.h"

namespace veltrin {

bool IsOptionArgument(const std::string& arg) {
    return arg.size() > 1 && arg[0] == '-';
}

OptionUse::OptionUse(const std::vector<std::string>& args, std::size_t& at)
    : args_(args), at_(at), name_(args[at]) {
    // --name=value is the same as --name value.
    const std::size_t equals = name_.find('=');
    if (name_.rfind("--", 0) == 0 && equals != std::string::npos) {
        inlineValue_ = name_.substr(equals + 1);
        name_.resize(equals);
        hasInlineValue_ = true;
    }
}

bool OptionUse::TakeValue(std::string& value, std::string& error) {
    if (hasInlineValue_) {
        value = inlineValue_;
    } else if (at_ + 1 < args_.size()) {
        value = args_[++at_];
    } else {
        value.clear();
    }
    if (value.empty()) {
        error = name_ + " needs a value";
        return false;
    }
    return true;
}

void OptionUse::TakeFollowingNames(std::vector<std::string>& names) {
    while (!hasInlineValue_ && at_ + 1 < args_.size() && !IsOptionArgument(args_[at_ + 1]))
        names.push_back(args_[++at_]);
}

namespace {

constexpr unsigned kPorts = CommandBit(CliCommand::Ports);
constexpr unsigned kProbe = CommandBit(CliCommand::Probe);
constexpr unsigned kCheck = CommandBit(CliCommand::Check);
constexpr unsigned kDownload = CommandBit(CliCommand::Download);
constexpr unsigned kUpdate = CommandBit(CliCommand::Update);
constexpr unsigned kHistory = CommandBit(CliCommand::History);
// --server and --trust-key: the commands that read update data.
constexpr unsigned kReadUpdateData = kProbe | kDownload | kUpdate;
constexpr unsigned kJsonCommands = kPorts | kProbe | kCheck | kUpdate | kHistory;

template <bool CliArguments::*Member>
bool SetFlag(OptionUse&, CliArguments& parsed, std::string&) {
    parsed.*Member = true;
    return true;
}

template <std::string CliArguments::*Member>
bool SetText(OptionUse& use, CliArguments& parsed, std::string& error) {
    return use.TakeValue(parsed.*Member, error);
}

template <std::vector<std::string> CliArguments::*Member>
bool AddText(OptionUse& use, CliArguments& parsed, std::string& error) {
    std::string text;
    if (!use.TakeValue(text, error))
        return false;
    (parsed.*Member).push_back(text);
    return true;
}

// Each --port counts once, however many names follow it: several count as several devices.
bool AddPorts(OptionUse& use, CliArguments& parsed, std::string& error) {
    if (!AddText<&CliArguments::Ports>(use, parsed, error))
        return false;
    ++parsed.PortOptions;
    use.TakeFollowingNames(parsed.Ports);
    return true;
}

bool SetCsv(OptionUse& use, CliArguments& parsed, std::string& error) {
    parsed.Csv = true;
    // A spreadsheet with German settings splits columns at ';' only.
    if (use.HasInlineValue() && use.InlineValue() == "semicolon") {
        parsed.CsvSeparator = ';';
    } else if (use.HasInlineValue() && use.InlineValue() != "comma") {
        error = "--csv takes no value but comma or semicolon: " + use.InlineValue();
        return false;
    }
    return true;
}

bool SetOutcome(OptionUse& use, CliArguments& parsed, std::string& error) {
    if (!use.TakeValue(parsed.Outcome, error))
        return false;
    for (const char* outcome :
         {"success", "failed", "cancelled", "up-to-date", "newer-than-release"}) {
        if (parsed.Outcome == outcome)
            return true;
    }
    error = "--outcome needs success, failed, cancelled, up-to-date or newer-than-release: " +
            parsed.Outcome;
    return false;
}

// A count of 1 to 1000000 in decimal digits.
bool ParseCount(const std::string& text, std::size_t& count) {
    if (text.empty() || text.size() > 7 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    count = std::stoul(text);
    return count >= 1 && count <= 1000000;
}

bool SetLast(OptionUse& use, CliArguments& parsed, std::string& error) {
    std::string count;
    if (!use.TakeValue(count, error))
        return false;
    if (!ParseCount(count, parsed.Last)) {
        error = "--last needs a number of runs from 1 to 1000000: " + count;
        return false;
    }
    return true;
}

template <std::string CliArguments::*Member, DateBound Bound>
bool SetDate(OptionUse& use, CliArguments& parsed, std::string& error) {
    std::string date;
    if (!use.TakeValue(date, error))
        return false;
    if (!ParseUtcDate(date, Bound, parsed.*Member)) {
        error = use.Name() + " needs a date such as 2026-03-01 or 2026-03-01T14:30 (UTC): " + date;
        return false;
    }
    return true;
}

using enum OptionValue;

const CliOption kOptions[] = {
    {"--server", nullptr, Required, "URL", kReadUpdateData, SetText<&CliArguments::Server>,
     "update server base (default: the built-in server); file:// works"},
    {"--ca-file", nullptr, Required, "FILE", kEveryCommand, SetText<&CliArguments::CaFile>,
     "trust this CA in addition to the system's trust store"},
    {"--trust-key", nullptr, Required, "FILE", kReadUpdateData, AddText<&CliArguments::TrustKeys>,
     "download, probe, update: use update data only when its\n"
     "SHA256SUMS is signed by this PEM public key (may be given\n"
     "more than once)"},
    {"--port", nullptr, Required, "NAME...", kUpdate, AddPorts,
     "probe these ports instead of the system's (e.g. pts/7);\n"
     "given more than once: update the device of each port at once"},
    {"--all-ports", nullptr, None, nullptr, kUpdate, SetFlag<&CliArguments::AllPorts>,
     "update every port where a supported pipette answers, at once"},
    {"--yes", "-y", None, nullptr, kUpdate, SetFlag<&CliArguments::Yes>,
     "update: consent to the loss of each pipette's adjustments\n"
     "(needed for several devices); a pipette already on the release\n"
     "or newer is left alone"},
    {"--allow-reinstall", nullptr, None, nullptr, kUpdate, SetFlag<&CliArguments::AllowReinstall>,
     "\nupdate --yes: also rewrite a pipette already on the release"},
    {"--allow-older", nullptr, None, nullptr, kUpdate, SetFlag<&CliArguments::AllowOlder>,
     "update --yes: also put the release on a pipette that is newer"},
    {"--json", nullptr, None, nullptr, kJsonCommands, SetFlag<&CliArguments::Json>,
     "one JSON object per line on stdout (ports, probe, check, update,\n"
     "history)"},
    {"--device", nullptr, Required, "TEXT", kHistory, SetText<&CliArguments::Device>,
     "history: only runs whose device info text or device type contains\n"
     "TEXT"},
    {"--port", nullptr, Required, "NAME...", kHistory, AddPorts,
     "history: only runs on these ports"},
    {"--outcome", nullptr, Required, "OUTCOME", kHistory, SetOutcome,
     "history: only runs that ended so: success, failed,\n"
     "cancelled, up-to-date or newer-than-release (left alone)"},
    {"--since", nullptr, Required, "DATE", kHistory,
     SetDate<&CliArguments::Since, DateBound::Start>,
     "history: only runs started at or after DATE (UTC), e.g. 2026-03-01"},
    {"--until", nullptr, Required, "DATE", kHistory, SetDate<&CliArguments::Until, DateBound::End>,
     "history: only runs started at or before DATE (UTC); a day without\n"
     "a time counts to its end"},
    {"--last", nullptr, Required, "N", kHistory, SetLast,
     "history: only the N newest of the runs left"},
    {"--csv", nullptr, InlineOnly, nullptr, kHistory, SetCsv,
     "history: comma-separated values with a header line"},
    {"--csv", nullptr, InlineOnly, "semicolon", kHistory, SetCsv,
     "history: for a spreadsheet with German settings: ';'\n"
     "between cells, UTF-8 with a byte order mark, CRLF line ends"},
    {"--history-file", nullptr, Required, "FILE", kUpdate | kHistory,
     SetText<&CliArguments::HistoryFile>,
     "update, history: this history file instead of the\n"
     "user's own"},
    {"--trace", nullptr, Required, "FILE", kUpdate, SetText<&CliArguments::TraceFile>,
     "update: write the trace of the run (steps, memory blocks) to\n"
     "FILE; with several devices one file per port, FILE's name\n"
     "with the port added (trace-ttyACM0.txt)"},
    {"--help", "-h", None, nullptr, kEveryCommand, nullptr, "this text"},
};

bool IsNamed(const CliOption& option, const std::string& name) {
    return name == option.Name || (option.ShortName != nullptr && name == option.ShortName);
}

// "--server URL", "--csv=semicolon", "--yes, -y".
std::string HelpName(const CliOption& option) {
    // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) of a literal + string.
    std::string name = option.Name;
    if (option.ValueName != nullptr) {
        name += option.Value == InlineOnly ? '=' : ' ';
        name += option.ValueName;
    }
    if (option.ShortName != nullptr) {
        name += ", ";
        name += option.ShortName;
    }
    return name;
}

// The names take 16 columns after an indent of 2; a longer name pushes its description right.
std::string HelpEntry(const CliOption& option) {
    constexpr std::size_t kColumn = 18;
    std::string entry = "  ";
    entry += HelpName(option);
    const std::string_view help = option.Help;
    const bool underName = help.starts_with('\n');
    const std::string indent(underName ? kColumn : std::max(kColumn, entry.size() + 2), ' ');
    for (std::size_t start = 0, end = 0; start <= help.size(); start = end + 1) {
        end = std::min(help.find('\n', start), help.size());
        if (start > 0)
            entry.append(1, '\n').append(indent);
        else if (!underName)
            entry.resize(indent.size(), ' ');
        entry += help.substr(start, end - start);
    }
    return entry + '\n';
}

}  // namespace

std::span<const CliOption> CliOptions() {
    return kOptions;
}

const CliOption* FindCliOption(const OptionUse& use, std::optional<CliCommand> command) {
    const unsigned bit = command ? CommandBit(*command) : kEveryCommand;
    for (const CliOption& option : kOptions) {
        if (IsNamed(option, use.Name()) && (option.Commands & bit) == bit &&
            !(option.Value == None && use.HasInlineValue()))
            return &option;
    }
    return nullptr;
}

std::string CliOptionsHelp() {
    std::string text;
    for (const CliOption& option : kOptions)
        text += HelpEntry(option);
    return text;
}

}  // namespace veltrin
