// history: the update records of this user, for a look on the terminal or a lab's own records.

#include <algorithm>
#include <cctype>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

#include "commands.h"
#include "common/printabletext.h"
#include "history/historyfile.h"
#include "history/historyreader.h"
#include "history/historyrecord.h"
#include "jsonevents.h"

namespace veltrin {

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool Matches(const HistoryRecord& record, const CliArguments& arguments) {
    if (!arguments.Device.empty() &&
        Lower(record.InfoText).find(Lower(arguments.Device)) == std::string::npos) {
        return false;
    }
    // Both are "YYYY-MM-DDThh:mm:ssZ", so text order is time order.
    return arguments.Since.empty() || record.Time >= arguments.Since;
}

std::string DurationText(std::int64_t milliseconds) {
    const std::int64_t seconds = (milliseconds + 500) / 1000;
    if (seconds < 60) {
        return std::to_string(seconds) + " s";
    }
    std::ostringstream text;
    text << seconds / 60 << ":" << std::setw(2) << std::setfill('0') << seconds % 60 << " min";
    return text.str();
}

void PrintTable(const std::vector<HistoryRecord>& records, std::ostream& out) {
    const std::vector<std::string> header = {"Time (UTC)", "Port",    "Device",   "Info text",
                                             "Installed",  "Firmware", "Result",  "Duration"};
    std::vector<std::vector<std::string>> rows = {header};
    for (const HistoryRecord& record : records) {
        const std::string installed =
            record.VersionText0.substr(0, record.VersionText0.find(' '));
        std::string result = std::to_string(record.ResultCode) + " " + record.ResultText;
        std::vector<std::string> row = {record.Time,
                                        record.Port,
                                        record.DeviceTypeText,
                                        record.InfoText,
                                        installed,
                                        record.FirmwareVersion,
                                        result,
                                        DurationText(record.DurationMs)};
        // Records hold what devices and servers said; none of it may steer the terminal.
        for (std::string& cell : row) {
            cell = PrintableText(cell);
        }
        rows.push_back(std::move(row));
    }
    std::vector<std::size_t> widths(header.size(), 0);
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            widths[i] = std::max(widths[i], row[i].size());
        }
    }
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) {
            line += row[i];
            if (i + 1 < row.size()) {
                line += std::string(widths[i] - row[i].size() + 2, ' ');
            }
        }
        out << line << '\n';
    }
}

}  // namespace

int RunHistoryCommand(const CliArguments& arguments, CliIo& io, const CliEnvironment& environment) {
    const std::string fileName =
        arguments.HistoryFile.empty() ? environment.HistoryFile : arguments.HistoryFile;
    if (fileName.empty()) {
        io.Err << "veltrin-cli: " << HistoryResultText(HISTORY_ERR_NO_LOCATION) << '\n';
        return kExitFailure;
    }
    std::vector<HistoryRecord> records;
    std::vector<std::string> warnings;
    std::string systemError;
    if (ReadHistoryFile(fileName, records, warnings, systemError) != HISTORY_OK) {
        io.Err << "veltrin-cli: " << HistoryResultText(HISTORY_ERR_READ) << " " << fileName << ": "
               << systemError << '\n';
        return kExitFailure;
    }
    for (const std::string& warning : warnings) {
        io.Err << "veltrin-cli: " << fileName << " " << warning << ", skipped\n";
    }
    records.erase(std::remove_if(records.begin(), records.end(),
                                 [&](const HistoryRecord& r) { return !Matches(r, arguments); }),
                  records.end());
    // Runs append when they end; the list goes by the time each run started, newest last.
    std::stable_sort(records.begin(), records.end(),
                     [](const HistoryRecord& a, const HistoryRecord& b) { return a.Time < b.Time; });

    if (arguments.Json) {
        for (const HistoryRecord& record : records) {
            io.Out << HistoryRecordToJson(record) << '\n';
        }
    } else if (arguments.Csv) {
        io.Out << HistoryCsvHeader();
        for (const HistoryRecord& record : records) {
            io.Out << HistoryCsvLine(record);
        }
    } else if (records.empty()) {
        io.Out << "No updates recorded in " << fileName << ".\n";
    } else {
        PrintTable(records, io.Out);
    }
    io.Out.flush();
    return 0;
}

}  // namespace veltrin
