// history: the update records of this user, for a look on the terminal or a lab's own records.

#include <algorithm>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

#include "commands/commands.h"
#include "common/printabletext.h"
#include "common/texttrim.h"
#include "common/utctime.h"
#include "events/jsonevents.h"
#include "history/historyfile.h"
#include "history/historyreader.h"
#include "history/historyrecord.h"

namespace veltrin {

namespace {

// Lower case for comparing texts: ASCII, and the Latin-1 capitals (À to Þ but ×) of UTF-8 text,
// so "GRÖSSE" and "größe" find the same device.
std::string Folded(const std::string& text) {
    std::string folded = text;
    for (std::size_t i = 0; i < folded.size(); ++i) {
        const auto c = static_cast<unsigned char>(folded[i]);
        if (c >= 'A' && c <= 'Z') {
            folded[i] = static_cast<char>(c + 32);
        } else if (c == 0xC3 && i + 1 < folded.size()) {
            const auto next = static_cast<unsigned char>(folded[i + 1]);
            if (next >= 0x80 && next <= 0x9E && next != 0x97)
                folded[i + 1] = static_cast<char>(next + 32);
            ++i;
        }
    }
    return folded;
}

bool Contains(const std::string& text, const std::string& part) {
    return Folded(text).find(Folded(part)) != std::string::npos;
}

// A port as the records keep it: the bare name, without the system's device prefix.
std::string BarePort(const std::string& port) {
    std::string name = TrimText(port);
    for (const char* prefix : {"/dev/", "\\\\.\\"}) {
        if (name.rfind(prefix, 0) == 0)
            name.erase(0, std::string(prefix).size());
    }
    return Folded(name);
}

bool Matches(const HistoryRecord& record, const CliArguments& arguments) {
    if (!arguments.Device.empty() && !Contains(record.InfoText, arguments.Device) &&
        !Contains(record.DeviceTypeText, arguments.Device)) {
        return false;
    }
    if (!arguments.Ports.empty() &&
        std::none_of(arguments.Ports.begin(), arguments.Ports.end(), [&](const std::string& port) {
            return BarePort(port) == BarePort(record.Port);
        })) {
        return false;
    }
    if (!arguments.Outcome.empty() && arguments.Outcome != RecordOutcome(record))
        return false;
    if (arguments.Since.empty() && arguments.Until.empty())
        return true;
    // Both are "YYYY-MM-DDThh:mm:ssZ", so text order is time order; a record whose time is no
    // time cannot be placed in a span of time.
    return IsUtcTimeText(record.Time) &&
           (arguments.Since.empty() || record.Time >= arguments.Since) &&
           (arguments.Until.empty() || record.Time <= arguments.Until);
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

// Columns line up by characters, not by the bytes of their UTF-8.
std::size_t Width(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

void PrintTable(const std::vector<HistoryRecord>& records, std::ostream& out) {
    // "After" is the firmware the run wrote, known only when it succeeded.
    const std::vector<std::string> header = {"Time (UTC)", "Port",   "Device",   "Info text",
                                             "Before",     "After",  "Outcome",  "Result",
                                             "Duration",   "User"};
    std::vector<std::vector<std::string>> rows = {header};
    for (const HistoryRecord& record : records) {
        const std::string before = record.VersionText0.substr(0, record.VersionText0.find(' '));
        const std::string outcome = RecordOutcome(record);
        const std::string after = outcome == "success" ? record.FirmwareVersion : "-";
        std::string result = std::to_string(record.ResultCode) + " " + record.ResultText;
        std::vector<std::string> row = {record.Time,
                                        record.Port,
                                        record.DeviceTypeText,
                                        record.InfoText,
                                        before.empty() ? "-" : before,
                                        after,
                                        outcome,
                                        result,
                                        DurationText(record.DurationMs),
                                        record.User.empty() ? "-" : record.User};
        // Records hold what devices and servers said; none of it may steer the terminal.
        for (std::string& cell : row) {
            cell = PrintableText(cell);
        }
        rows.push_back(std::move(row));
    }
    std::vector<std::size_t> widths(header.size(), 0);
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            widths[i] = std::max(widths[i], Width(row[i]));
        }
    }
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) {
            line += row[i];
            if (i + 1 < row.size()) {
                line += std::string(widths[i] - Width(row[i]) + 2, ' ');
            }
        }
        out << line << '\n';
    }
}

void PrintCsv(const std::vector<HistoryRecord>& records, char separator, std::ostream& out) {
    // A spreadsheet takes a file without a byte order mark for the system's code page.
    if (separator == ';')
        out << "\xEF\xBB\xBF";
    out << HistoryCsvHeader(separator);
    for (const HistoryRecord& record : records) {
        out << HistoryCsvLine(record, separator);
    }
}

}  // namespace

int RunHistoryCommand(const CliArguments& arguments, CliIo& io, const CliEnvironment& environment) {
    const std::string fileName =
        arguments.HistoryFile.empty() ? environment.HistoryFile : arguments.HistoryFile;
    if (fileName.empty()) {
        io.Err << "veltrin-cli: " << NoHistoryLocationText() << '\n';
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
    const std::size_t unfiltered = records.size();
    records.erase(std::remove_if(records.begin(), records.end(),
                                 [&](const HistoryRecord& r) { return !Matches(r, arguments); }),
                  records.end());
    // Runs append when they end; the list goes by the time each run started, newest last.
    std::stable_sort(
        records.begin(), records.end(),
        [](const HistoryRecord& a, const HistoryRecord& b) { return a.Time < b.Time; });
    if (arguments.Last > 0 && records.size() > arguments.Last)
        records.erase(records.begin(), records.end() - static_cast<std::ptrdiff_t>(arguments.Last));

    if (arguments.Json) {
        for (const HistoryRecord& record : records) {
            io.Out << HistoryRecordToJson(record) << '\n';
        }
    } else if (arguments.Csv) {
        PrintCsv(records, arguments.CsvSeparator, io.Out);
    } else if (records.empty() && unfiltered > 0) {
        io.Out << "In " << fileName << " no record matches (" << unfiltered << " in all).\n";
    } else if (records.empty()) {
        io.Out << "No updates recorded in " << fileName << ".\n";
    } else {
        PrintTable(records, io.Out);
    }
    io.Out.flush();
    return 0;
}

}  // namespace veltrin
