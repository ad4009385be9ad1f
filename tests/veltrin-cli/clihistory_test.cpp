// veltrin-cli history: the records of a history file as a table, JSON Lines and CSV, filtered.

#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "commands/clirun.h"
#include "history/historyfile.h"
#include "history/historyrecord.h"
#include "jsondoc.h"
#include "support/tempdirectory.h"

namespace veltrin {
namespace {

struct PastRun {
    const char* Time;
    const char* Info;
    const char* Port;
    const char* DeviceTypeText;
    std::int32_t Code;
    bool Terminated;
    const char* Text;
};

// Appended in the order runs end, which is not the order they started. The last one's time is
// damaged (hour 25).
const PastRun kRuns[] = {
    {"2026-03-02T09:00:00Z", "Lab 3, bench 2", "ttyACM0", "Quorvan USB OTG plus", 0, false,
     "Update successful"},
    {"2026-03-01T08:00:00Z", "Lab 1", "ttyACM1", "Tarnovelle K7", 6, false,
     "The battery status is too low to carry out the update!"},
    {"2026-03-05T10:30:00Z", "lab 3 spare", "ttyACM0", "Quorvan USB OTG plus", 14, false,
     "Exceptional error! (#14)"},
    {"2026-03-09T25:00:00Z", "Größe 10µl", "COM3", "Quorvan USB OTG plus", 0, true,
     "The update was ended by the user"},
};

class CliHistoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const PastRun& run : kRuns) {
            HistoryRecord record;
            record.Time = run.Time;
            record.Program = "veltrin";
            record.Port = run.Port;
            record.DeviceType = 10;
            record.DeviceTypeText = run.DeviceTypeText;
            record.Terminated = run.Terminated;
            record.InfoText = run.Info;
            record.VersionText0 = "01.00.00 Application 20240101";
            record.FirmwareVersion = "04.05.06";
            record.ResultCode = run.Code;
            record.ResultText = run.Text;
            record.DurationMs = 83400;
            std::string error;
            ASSERT_EQ(AppendHistoryLine(file_, HistoryRecordToJson(record), error), HISTORY_OK);
        }
    }

    int Run(std::vector<std::string> args) {
        args.insert(args.begin(), "history");
        std::ostringstream out, err;
        std::istringstream in;
        CliIo io{out, err, in, false, false};
        CliEnvironment environment;
        environment.HistoryFile = file_;
        const int status = RunCli(args, io, environment);
        out_ = out.str();
        err_ = err.str();
        return status;
    }

    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        std::istringstream text(out_);
        for (std::string line; std::getline(text, line);)
            lines.push_back(line);
        return lines;
    }

    test::TempDirectory dir_;
    std::string file_ = dir_.File("history.jsonl");
    std::string out_, err_;
};

TEST_F(CliHistoryTest, TableListsTheRunsNewestLast) {
    ASSERT_EQ(Run({}), 0) << err_;
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 5u) << out_;
    EXPECT_EQ(lines[0].rfind("Time (UTC)            Port     Device", 0), 0u) << lines[0];
    // The versions before and after the run, and how it ended, each under its own name.
    EXPECT_NE(lines[0].find("  Before    After     Outcome    Result  "), std::string::npos)
        << lines[0];
    EXPECT_NE(lines[1].find("2026-03-01T08:00:00Z  ttyACM1  Tarnovelle K7         Lab 1 "),
              std::string::npos)
        << lines[1];
    EXPECT_NE(lines[1].find("01.00.00  -         failed     6 The battery status"),
              std::string::npos)
        << lines[1];
    EXPECT_NE(lines[2].find("01.00.00  04.05.06  success    0 Update successful"),
              std::string::npos)
        << lines[2];
    EXPECT_NE(lines[3].find("  14 Exceptional error! (#14)  "), std::string::npos) << lines[3];
    EXPECT_NE(lines[3].find("  1:23 min  "), std::string::npos) << lines[3];
    // A cancelled run keeps its code 0 and says it was cancelled; columns count characters.
    EXPECT_NE(lines[4].find("  Größe 10µl      01.00.00  -         cancelled  0 The update"),
              std::string::npos)
        << lines[4];
}

struct FilterCase {
    std::vector<std::string> Args;
    std::vector<std::string> Times;
};

class CliHistoryFilterTest : public CliHistoryTest,
                             public ::testing::WithParamInterface<FilterCase> {};

TEST_P(CliHistoryFilterTest, JsonLinesHoldTheMatchingRecords) {
    std::vector<std::string> args = GetParam().Args;
    args.push_back("--json");
    ASSERT_EQ(Run(args), 0) << err_;
    std::vector<std::string> times;
    for (const std::string& line : Lines()) {
        const auto json = nlohmann::json::parse(line, nullptr, false);
        ASSERT_TRUE(json.is_object()) << line;
        EXPECT_EQ(test::FieldsOf(json), test::DocumentedJsonFields().at("History records"));
        times.push_back(json["time"]);
    }
    EXPECT_EQ(times, GetParam().Times);
}

constexpr const char* kMar01 = "2026-03-01T08:00:00Z";
constexpr const char* kMar02 = "2026-03-02T09:00:00Z";
constexpr const char* kMar05 = "2026-03-05T10:30:00Z";
constexpr const char* kBadTime = "2026-03-09T25:00:00Z";

INSTANTIATE_TEST_SUITE_P(
    Filters, CliHistoryFilterTest,
    ::testing::Values(
        FilterCase{{}, {kMar01, kMar02, kMar05, kBadTime}},
        // The device filter matches the info text or the device type, whatever its case.
        FilterCase{{"--device", "LAB 3"}, {kMar02, kMar05}},
        FilterCase{{"--device", "GRÖßE 10µ"}, {kBadTime}},
        FilterCase{{"--device", "tarnovelle"}, {kMar01}},
        // A record whose time is no time passes no filter by time.
        FilterCase{{"--since", "2026-03-02"}, {kMar02, kMar05}},
        FilterCase{{"--since", "2026-03-02T09:00:01"}, {kMar05}},
        FilterCase{{"--until", "2026-03-02"}, {kMar01, kMar02}},
        FilterCase{{"--until", "2026-03-02T08:59"}, {kMar01}},
        FilterCase{{"--since", "2026-03-01", "--until", "2026-03-31"}, {kMar01, kMar02, kMar05}},
        FilterCase{{"--device", "Lab 1", "--since", "2026-03-02"}, {}},
        FilterCase{{"--port", "ttyACM0"}, {kMar02, kMar05}},
        FilterCase{{"--port", "/dev/ttyACM1"}, {kMar01}},
        FilterCase{{"--port", "com3", "ttyACM1"}, {kMar01, kBadTime}},
        FilterCase{{"--outcome", "cancelled"}, {kBadTime}},
        FilterCase{{"--outcome", "failed"}, {kMar01, kMar05}},
        FilterCase{{"--outcome", "success"}, {kMar02}},
        FilterCase{{"--last", "2"}, {kMar05, kBadTime}},
        FilterCase{{"--last", "1", "--outcome", "failed"}, {kMar05}},
        FilterCase{{"--last", "9"}, {kMar01, kMar02, kMar05, kBadTime}}));

TEST_F(CliHistoryTest, CsvHasAHeaderAndQuotesCellsWithCommas) {
    ASSERT_EQ(Run({"--csv", "--device", "bench"}), 0) << err_;
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 2u) << out_;
    EXPECT_EQ(lines[0].rfind("time,program,", 0), 0u);
    EXPECT_NE(lines[1].find(",\"Lab 3, bench 2\","), std::string::npos) << lines[1];
    EXPECT_NE(lines[1].find(",false,success,"), std::string::npos) << lines[1];
    EXPECT_EQ(lines[1].back(), '\r');
}

// A spreadsheet with German settings opens this in columns, with its umlauts.
TEST_F(CliHistoryTest, SemicolonCsvHasAByteOrderMarkAndSemicolons) {
    ASSERT_EQ(Run({"--csv=semicolon", "--port", "COM3"}), 0) << err_;
    ASSERT_EQ(out_.rfind("\xEF\xBB\xBFtime;program;program_version;", 0), 0u) << out_;
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 2u) << out_;
    EXPECT_NE(lines[1].find(";COM3;10;Quorvan USB OTG plus;;Größe 10µl;"), std::string::npos)
        << lines[1];
    EXPECT_EQ(lines[1].find(','), std::string::npos) << lines[1];
    EXPECT_EQ(lines[1].back(), '\r');
}

TEST_F(CliHistoryTest, DamagedLinesAreNamedOnStandardErrorAndTheRestIsShown) {
    {
        std::ofstream file(file_, std::ios::binary | std::ios::app);
        file << "{\"time\":\"2026-03-09T0";  // a writer that died
    }
    HistoryRecord last;
    last.Time = "2026-03-09T12:00:00Z";
    std::string error;
    ASSERT_EQ(AppendHistoryLine(file_, HistoryRecordToJson(last), error), HISTORY_OK);

    ASSERT_EQ(Run({"--json"}), 0);
    EXPECT_EQ(Lines().size(), 5u) << out_;
    EXPECT_EQ(err_, "veltrin-cli: " + file_ + " line 5: not a JSON object, skipped\n");
}

// Who ran an update is kept beside where; records from before it was kept read as unknown.
TEST_F(CliHistoryTest, EveryViewNamesTheAccountThatRanTheUpdate) {
    HistoryRecord record;
    record.Time = "2026-03-10T07:00:00Z";
    record.Computer = "lab-pc-4";
    record.User = "mühlberg";
    record.Port = "ttyUSB9";
    std::string error;
    ASSERT_EQ(AppendHistoryLine(file_, HistoryRecordToJson(record), error), HISTORY_OK);

    ASSERT_EQ(Run({"--port", "ttyUSB9"}), 0) << err_;
    ASSERT_EQ(Lines().size(), 2u) << out_;
    // The header's User column starts where the row's name starts, counted in characters.
    const std::string header = Lines()[0];
    const std::string row = Lines()[1];
    EXPECT_EQ(header.substr(header.size() - 4), "User") << header;
    EXPECT_EQ(row.substr(row.size() - std::string("mühlberg").size()), "mühlberg") << row;
    EXPECT_EQ(header.size() - 4, row.size() - std::string("mühlberg").size()) << out_;

    ASSERT_EQ(Run({"--json", "--port", "ttyUSB9"}), 0);
    EXPECT_NE(out_.find("\"computer\":\"lab-pc-4\",\"user\":\"mühlberg\""), std::string::npos)
        << out_;
    ASSERT_EQ(Run({"--csv", "--port", "ttyUSB9"}), 0);
    EXPECT_NE(out_.find(",computer,user,"), std::string::npos) << out_;
    EXPECT_NE(out_.find(",lab-pc-4,mühlberg,"), std::string::npos) << out_;

    // The older records hold no account.
    ASSERT_EQ(Run({"--port", "ttyACM1"}), 0) << err_;
    EXPECT_EQ(Lines()[1].substr(Lines()[1].size() - 3), "  -") << out_;
}

TEST_F(CliHistoryTest, FiltersThatMatchNothingSaySoApartFromAnEmptyFile) {
    const std::vector<std::vector<std::string>> filters = {
        {"--port", "ttyNONE"},
        {"--device", "no such lab"},
        {"--outcome", "cancelled", "--port", "ttyACM1"},
        {"--since", "2027-01-01T00:00:00Z"},
    };
    for (const auto& filter : filters) {
        ASSERT_EQ(Run(filter), 0) << filter[0] << err_;
        EXPECT_EQ(out_, "In " + file_ + " no record matches (4 in all).\n") << filter[0];
    }
}

TEST_F(CliHistoryTest, AnEmptyHistorySaysSo) {
    file_ = dir_.File("none.jsonl");
    EXPECT_EQ(Run({}), 0);
    EXPECT_EQ(out_, "No updates recorded in " + file_ + ".\n");
}

}  // namespace
}  // namespace veltrin
