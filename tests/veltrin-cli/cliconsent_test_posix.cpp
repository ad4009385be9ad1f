// --yes consents to the loss of a pipette's adjustments only: a pipette already on the release,
// or on a newer one, is left alone unless its own option allows more.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cliupdatefixture.h"
#include "history/historyrecord.h"

namespace veltrin {
namespace {

using test::CliResult;
using test::CliUpdateTest;
using test::Contains;
using test::kVersion;

std::vector<HistoryRecord> ReadRecords(const std::string& fileName) {
    std::vector<HistoryRecord> records;
    std::ifstream file(fileName);
    std::string line;
    while (std::getline(file, line)) {
        HistoryRecord record;
        std::string reason;
        if (HistoryRecordFromJson(line, record, reason))
            records.push_back(record);
    }
    return records;
}

struct ConsentCase {
    const char* Title;
    const char* Installed;
    bool Yes;
    const char* Answers;
    std::vector<std::string> Options;
    int Status;
    bool Written;
    const char* Outcome;
};

void PrintTo(const ConsentCase& c, std::ostream* os) {
    *os << c.Title;
}

class CliConsentTest : public CliUpdateTest, public ::testing::WithParamInterface<ConsentCase> {};

TEST_P(CliConsentTest, WritesOnlyWhatWasConsentedTo) {
    const ConsentCase& c = GetParam();
    Publish();
    SimOptions options = DeviceOptions(6);
    options.Version0 = c.Installed;
    PipetteSimulator sim(options);
    ASSERT_EQ(sim.Start(), 0);
    const std::string history = (dir_.Path() / "history.jsonl").string();

    const CliResult result = RunUpdate(sim, c.Yes, c.Answers, c.Options, history);
    EXPECT_EQ(result.Status, c.Status) << result.Out;
    EXPECT_EQ(!sim.WrittenBlocks().empty(), c.Written) << result.Out;
    // Before its first question the pipette is named with both versions.
    EXPECT_TRUE(Contains(result.Out, "Pipette on " + sim.PortName() + ": ")) << result.Out;
    EXPECT_TRUE(Contains(result.Out, std::string("installed ") + c.Installed)) << result.Out;
    EXPECT_TRUE(Contains(result.Out, std::string(", release ") + kVersion + "\n")) << result.Out;
    const std::vector<HistoryRecord> records = ReadRecords(history);
    ASSERT_EQ(records.size(), 1u) << result.Out;
    EXPECT_STREQ(RecordOutcome(records[0]), c.Outcome);
    if (c.Status == kExitLeftAlone) {
        EXPECT_TRUE(Contains(result.Out, "nothing was written")) << result.Out;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Devices, CliConsentTest,
    ::testing::Values(
        ConsentCase{
            "YesLeavesACurrentPipetteAlone", kVersion, true, "", {}, 103, false, "up-to-date"},
        ConsentCase{"YesLeavesANewerPipetteAlone",
                    "09.00.00",
                    true,
                    "",
                    {},
                    103,
                    false,
                    "newer-than-release"},
        ConsentCase{"AllowReinstallRewritesACurrentOne",
                    kVersion,
                    true,
                    "",
                    {"--allow-reinstall"},
                    0,
                    true,
                    "success"},
        ConsentCase{"AllowReinstallDoesNotDowngrade",
                    "09.00.00",
                    true,
                    "",
                    {"--allow-reinstall"},
                    103,
                    false,
                    "newer-than-release"},
        ConsentCase{
            "AllowOlderDowngrades", "09.00.00", true, "", {"--allow-older"}, 0, true, "success"},
        ConsentCase{"YesUpdatesAnOlderOne", "01.00.00", true, "", {}, 0, true, "success"},
        ConsentCase{"PipedAnswersStillRewrite", kVersion, false, "y\ny\n", {}, 0, true, "success"},
        ConsentCase{"PipedNoIsStillACancel", kVersion, false, "n\n", {}, 100, false, "cancelled"}),
    [](const ::testing::TestParamInfo<ConsentCase>& info) { return info.param.Title; });

// A bench of pipettes on the release, older and newer: --yes writes only the older one, the
// others end as what they are, and the run as a whole is no failure.
TEST_F(CliUpdateTest, BenchRunWithYesWritesOnlyTheOlderPipettes) {
    Publish();
    const char* versions[] = {kVersion, "01.00.00", "09.00.00"};
    const std::string history = (dir_.Path() / "bench.jsonl").string();
    std::vector<std::string> ports[2];
    // Fresh pipettes for each pass: the first pass brings the older one to the release.
    for (const bool json : {false, true}) {
        std::vector<std::unique_ptr<PipetteSimulator>> sims;
        std::vector<std::string> args = {"update",
                                         "--server",
                                         server_->Origin() + "/pipette-update",
                                         "--ca-file",
                                         certs_.CaCertFile,
                                         "--yes",
                                         "--history-file",
                                         history};
        for (const char* version : versions) {
            SimOptions options = DeviceOptions(10);
            options.Version0 = version;
            sims.push_back(std::make_unique<PipetteSimulator>(options));
            ASSERT_EQ(sims.back()->Start(), 0);
            args.insert(args.end(), {"--port", sims.back()->PortName()});
            ports[json].push_back(sims.back()->PortName());
        }
        if (json)
            args.push_back("--json");
        std::ostringstream out, err;
        std::istringstream in;
        CliIo io{out, err, in, false, false};
        CliEnvironment environment;
        environment.Sleeper = [](std::uint32_t ms) {
            if (ms >= 500)
                SleepMilliseconds(15);
        };
        EXPECT_EQ(RunCli(args, io, environment), 0) << out.str() << err.str();
        EXPECT_TRUE(sims[0]->WrittenBlocks().empty());
        EXPECT_FALSE(sims[1]->WrittenBlocks().empty());
        EXPECT_TRUE(sims[2]->WrittenBlocks().empty());
        const std::string text = out.str();
        if (json) {
            EXPECT_TRUE(Contains(text, "\"outcome\":\"up-to-date\"")) << text;
            EXPECT_TRUE(Contains(text, "\"outcome\":\"newer-than-release\"")) << text;
        } else {
            EXPECT_TRUE(Contains(text, "left alone: up to date")) << text;
            EXPECT_TRUE(Contains(text, "left alone: newer than the release")) << text;
        }
    }
    std::vector<std::string> outcomes;
    for (const HistoryRecord& record : ReadRecords(history))
        outcomes.push_back(std::string(record.Port) + " " + RecordOutcome(record));
    std::vector<std::string> expected;
    for (const auto& pass : ports) {
        expected.insert(expected.end(), {pass[0] + " up-to-date", pass[1] + " success",
                                         pass[2] + " newer-than-release"});
    }
    std::sort(outcomes.begin(), outcomes.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(outcomes, expected);
}

}  // namespace
}  // namespace veltrin
