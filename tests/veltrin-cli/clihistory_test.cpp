// veltrin-cli history: the records of a history file as a table, JSON Lines and CSV, filtered.

#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "clirun.h"
#include "history/historyfile.h"
#include "history/historyrecord.h"
#include "jsondoc.h"
#include "support/tempdirectory.h"

namespace veltrin {
namespace {

struct PastRun {
    const char* Time;
    const char* Info;
    std::int32_t Code;
    const char* Text;
};

// Appended in the order runs end, which is not the order they started.
const PastRun kRuns[] = {
    {"2026-03-02T09:00:00Z", "Lab 3, bench 2", 0, "Update successful"},
    {"2026-03-01T08:00:00Z", "Lab 1", 6, "The battery status is too low to carry out the update!"},
    {"2026-03-05T10:30:00Z", "lab 3 spare", 14, "Exceptional error! (#14)"},
};

class CliHistoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const PastRun& run : kRuns) {
            HistoryRecord record;
            record.Time = run.Time;
            record.Program = "veltrin";
            record.Port = "ttyACM0";
            record.DeviceType = 10;
            record.DeviceTypeText = "Quorvan USB OTG plus";
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
    ASSERT_EQ(lines.size(), 4u) << out_;
    EXPECT_EQ(lines[0].rfind("Time (UTC)            Port     Device", 0), 0u) << lines[0];
    EXPECT_NE(lines[1].find("2026-03-01T08:00:00Z  ttyACM0  Quorvan USB OTG plus  Lab 1 "),
              std::string::npos)
        << lines[1];
    EXPECT_NE(lines[1].find("01.00.00   04.05.06  6 The battery status"), std::string::npos)
        << lines[1];
    EXPECT_NE(lines[2].find("0 Update successful"), std::string::npos);
    EXPECT_NE(lines[3].find("  14 Exceptional error! (#14)  "), std::string::npos) << lines[3];
    EXPECT_EQ(lines[3].substr(lines[3].size() - 10), "  1:23 min");
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

INSTANTIATE_TEST_SUITE_P(
    Filters, CliHistoryFilterTest,
    ::testing::Values(
        FilterCase{{}, {"2026-03-01T08:00:00Z", "2026-03-02T09:00:00Z", "2026-03-05T10:30:00Z"}},
        // The device filter matches the info text, whatever its case.
        FilterCase{{"--device", "LAB 3"}, {"2026-03-02T09:00:00Z", "2026-03-05T10:30:00Z"}},
        FilterCase{{"--since", "2026-03-02"}, {"2026-03-02T09:00:00Z", "2026-03-05T10:30:00Z"}},
        FilterCase{{"--since", "2026-03-02T09:00:01"}, {"2026-03-05T10:30:00Z"}},
        FilterCase{{"--device", "Lab 1", "--since", "2026-03-02"}, {}}));

TEST_F(CliHistoryTest, CsvHasAHeaderAndQuotesCellsWithCommas) {
    ASSERT_EQ(Run({"--csv", "--device", "bench"}), 0) << err_;
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 2u) << out_;
    EXPECT_EQ(lines[0].rfind("time,program,", 0), 0u);
    EXPECT_NE(lines[1].find(",\"Lab 3, bench 2\","), std::string::npos) << lines[1];
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
    EXPECT_EQ(Lines().size(), 4u) << out_;
    EXPECT_EQ(err_, "veltrin-cli: " + file_ + " line 4: not a JSON object, skipped\n");
}

TEST_F(CliHistoryTest, AnEmptyHistorySaysSo) {
    file_ = dir_.File("none.jsonl");
    EXPECT_EQ(Run({}), 0);
    EXPECT_EQ(out_, "No updates recorded in " + file_ + ".\n");
}

}  // namespace
}  // namespace veltrin
