#include "args/cliarguments.h"
#include "args/clioptions.h"
#include "common/utctime.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace veltrin {
namespace {

struct ValidCase {
    std::vector<std::string> Args;
    CliCommand Command;
    std::vector<std::string> Ports;
    std::string File;
    std::string Directory;
    std::string Server;
    std::string CaFile;
    bool Yes;
};

class CliArgumentsValidTest : public ::testing::TestWithParam<ValidCase> {};

TEST_P(CliArgumentsValidTest, Parses) {
    const ValidCase& c = GetParam();
    CliArguments parsed;
    std::string error;
    ASSERT_TRUE(ParseCliArguments(c.Args, parsed, error)) << error;
    EXPECT_EQ(parsed.Command, c.Command);
    EXPECT_EQ(parsed.Ports, c.Ports);
    EXPECT_EQ(parsed.File, c.File);
    EXPECT_EQ(parsed.Directory, c.Directory);
    EXPECT_EQ(parsed.Server, c.Server);
    EXPECT_EQ(parsed.CaFile, c.CaFile);
    EXPECT_EQ(parsed.Yes, c.Yes);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, CliArgumentsValidTest,
    ::testing::Values(
        ValidCase{{"--help"}, CliCommand::Help, {}, "", "", "", "", false},
        ValidCase{{"update", "-h"}, CliCommand::Help, {}, "", "", "", "", false},
        ValidCase{{"ports"}, CliCommand::Ports, {}, "", "", "", "", false},
        ValidCase{{"probe"}, CliCommand::Probe, {}, "", "", "", "", false},
        // probe reads the update data as update does.
        ValidCase{{"probe", "--server", "file:///d", "--ca-file", "ca", "pts/7"}, CliCommand::Probe,
                  {"pts/7"}, "", "", "file:///d", "ca", false},
        ValidCase{{"probe", "ttyACM0", "pts/7"},
                  CliCommand::Probe,
                  {"ttyACM0", "pts/7"},
                  "",
                  "",
                  "",
                  "",
                  false},
        ValidCase{{"check", "fw.hex"}, CliCommand::Check, {}, "fw.hex", "", "", "", false},
        ValidCase{
            {"check", "--", "-odd.hex"}, CliCommand::Check, {}, "-odd.hex", "", "", "", false},
        ValidCase{{"download", "--server", "https://h/pipette-update", "out"},
                  CliCommand::Download,
                  {},
                  "",
                  "out",
                  "https://h/pipette-update",
                  "",
                  false},
        ValidCase{{"download", "out", "--server=file:///srv/pipette-update", "--ca-file", "ca.pem"},
                  CliCommand::Download,
                  {},
                  "",
                  "out",
                  "file:///srv/pipette-update",
                  "ca.pem",
                  false},
        ValidCase{{"update", "--yes"}, CliCommand::Update, {}, "", "", "", "", true},
        ValidCase{{"update", "--port", "pts/3", "pts/4", "-y"},
                  CliCommand::Update,
                  {"pts/3", "pts/4"},
                  "",
                  "",
                  "",
                  "",
                  true},
        ValidCase{{"--ca-file=ca.pem", "update", "--port=pts/3", "--port", "pts/5", "--server",
                   "https://x/pipette-update"},
                  CliCommand::Update,
                  {"pts/3", "pts/5"},
                  "",
                  "",
                  "https://x/pipette-update",
                  "ca.pem",
                  false}));

struct InvalidCase {
    std::vector<std::string> Args;
};

class CliArgumentsInvalidTest : public ::testing::TestWithParam<InvalidCase> {};

TEST_P(CliArgumentsInvalidTest, IsRefusedWithAReason) {
    CliArguments parsed;
    std::string error;
    EXPECT_FALSE(ParseCliArguments(GetParam().Args, parsed, error));
    EXPECT_NE(error, "");
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, CliArgumentsInvalidTest,
    ::testing::Values(InvalidCase{{}}, InvalidCase{{"flash"}}, InvalidCase{{"--yes"}},
                      InvalidCase{{"ports", "extra"}}, InvalidCase{{"check"}},
                      InvalidCase{{"check", "a.hex", "b.hex"}}, InvalidCase{{"download"}},
                      InvalidCase{{"download", "--server"}},
                      InvalidCase{{"download", "--server=", "out"}},
                      InvalidCase{{"probe", "--port", "pts/1"}},
                      InvalidCase{{"download", "--yes", "out"}}, InvalidCase{{"update", "--port"}},
                      InvalidCase{{"update", "pts/3"}}, InvalidCase{{"update", "--yes=no"}},
                      InvalidCase{{"update", "--force"}},
                      InvalidCase{{"update", "--all-ports", "--port", "pts/1"}},
                      InvalidCase{{"update", "--all-ports=yes"}},
                      InvalidCase{{"probe", "--all-ports"}},
                      InvalidCase{{"update", "--port", "pts/1", "--port", " pts/1", "-y"}},
                      InvalidCase{{"download", "--json", "out"}},
                      InvalidCase{{"update", "--csv"}}, InvalidCase{{"history", "--json", "--csv"}},
                      InvalidCase{{"history", "--since", "yesterday"}},
                      InvalidCase{{"history", "--device"}}, InvalidCase{{"history", "extra"}},
                      InvalidCase{{"probe", "--history-file", "h.jsonl"}},
                      // Dates are checked against the calendar; filters take only their values.
                      InvalidCase{{"history", "--since", "2026-02-31"}},
                      InvalidCase{{"history", "--until", "2026-04-31T10:00"}},
                      InvalidCase{{"history", "--since", "2026-03-02", "--until", "2026-03-01"}},
                      InvalidCase{{"history", "--outcome", "ok"}},
                      InvalidCase{{"history", "--last", "0"}},
                      InvalidCase{{"history", "--last", "-3"}},
                      InvalidCase{{"history", "--last", "12345678"}},
                      InvalidCase{{"history", "--csv=tab"}},
                      InvalidCase{{"update", "--outcome", "failed"}}));

// Several --port options, or --all-ports, update each device on its own; one --port with several
// names still searches them for the one pipette.
TEST(CliArgumentsSeveralDevicesTest, WhichCommandLinesUpdateSeveralDevices) {
    const struct {
        std::vector<std::string> Args;
        bool Several;
    } cases[] = {
        {{"update", "--port", "pts/3", "--port", "pts/4", "--yes"}, true},
        {{"update", "--port=pts/3", "--port=pts/4"}, true},
        {{"update", "--all-ports", "--yes"}, true},
        {{"update", "--port", "pts/3", "pts/4"}, false},
        {{"update", "--port", "pts/3"}, false},
        {{"update"}, false},
        {{"probe", "pts/3", "pts/4"}, false},
    };
    for (const auto& c : cases) {
        CliArguments parsed;
        std::string error;
        ASSERT_TRUE(ParseCliArguments(c.Args, parsed, error)) << error;
        EXPECT_EQ(IsSeveralDeviceRun(parsed), c.Several) << c.Args.size() << " " << c.Args[1];
    }
}

// The history command and the machine-readable options.
struct OutputCase {
    std::vector<std::string> Args;
    CliCommand Command;
    bool Json;
    bool Csv;
    std::string Device;
    std::string Since;
    std::string HistoryFile;
};

class CliArgumentsOutputTest : public ::testing::TestWithParam<OutputCase> {};

TEST_P(CliArgumentsOutputTest, Parses) {
    const OutputCase& c = GetParam();
    CliArguments parsed;
    std::string error;
    ASSERT_TRUE(ParseCliArguments(c.Args, parsed, error)) << error;
    EXPECT_EQ(parsed.Command, c.Command);
    EXPECT_EQ(parsed.Json, c.Json);
    EXPECT_EQ(parsed.Csv, c.Csv);
    EXPECT_EQ(parsed.Device, c.Device);
    EXPECT_EQ(parsed.Since, c.Since);
    EXPECT_EQ(parsed.HistoryFile, c.HistoryFile);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, CliArgumentsOutputTest,
    ::testing::Values(
        OutputCase{{"history"}, CliCommand::History, false, false, "", "", ""},
        OutputCase{{"history", "--csv", "--device", "Lab 3", "--since=2026-03-01"},
                   CliCommand::History, false, true, "Lab 3", "2026-03-01T00:00:00Z", ""},
        OutputCase{{"history", "--json", "--history-file", "h.jsonl", "--since",
                    "2026-03-01T14:30Z"},
                   CliCommand::History, true, false, "", "2026-03-01T14:30:00Z", "h.jsonl"},
        OutputCase{{"update", "--json", "--yes"}, CliCommand::Update, true, false, "", "", ""},
        OutputCase{{"ports", "--json"}, CliCommand::Ports, true, false, "", "", ""},
        OutputCase{{"probe", "--json", "pts/1"}, CliCommand::Probe, true, false, "", "", ""},
        OutputCase{{"check", "a.hex", "--json"}, CliCommand::Check, true, false, "", "", ""}));

// Each row of the option table is listed in --help and taken by every command it names.
TEST(CliOptionsTest, EachRowIsListedAndTakenByItsCommands) {
    const std::map<CliCommand, std::vector<std::string>> commandLines = {
        {CliCommand::Ports, {"ports"}},
        {CliCommand::Probe, {"probe"}},
        {CliCommand::Check, {"check", "a.hex"}},
        {CliCommand::Download, {"download", "out"}},
        {CliCommand::Update, {"update"}},
        {CliCommand::History, {"history"}},
        {CliCommand::Help, {"help"}},
    };
    const std::map<std::string, std::string> values = {
        {"--since", "2026-03-01"}, {"--until", "2026-03-01"}, {"--outcome", "failed"},
        {"--last", "3"}};
    for (const CliOption& option : CliOptions()) {
        EXPECT_NE(std::string(CliUsage()).find("\n  " + std::string(option.Name)),
                  std::string::npos)
            << option.Name;
        std::vector<std::string> spelling = {option.Name};
        if (option.Value == OptionValue::Required)
            spelling.push_back(values.contains(option.Name) ? values.at(option.Name) : "x");
        if (option.Value == OptionValue::InlineOnly && option.ValueName != nullptr)
            spelling = {std::string(option.Name) + "=" + option.ValueName};
        for (const auto& [command, words] : commandLines) {
            if ((option.Commands & CommandBit(command)) == 0)
                continue;
            std::vector<std::string> args = words;
            args.insert(args.begin() + 1, spelling.begin(), spelling.end());
            CliArguments parsed;
            std::string error;
            EXPECT_TRUE(ParseCliArguments(args, parsed, error)) << args[0] << " " << args[1];
        }
    }
}

TEST(ParseUtcDateTest, AcceptsDatesAndTimesInUtcOnly) {
    const std::pair<const char*, const char*> valid[] = {
        {"2026-12-09", "2026-12-09T00:00:00Z"},
        {"2026-12-09T08:05", "2026-12-09T08:05:00Z"},
        {"2026-12-09 08:05:07Z", "2026-12-09T08:05:07Z"},
    };
    for (const auto& [text, expected] : valid) {
        std::string parsed;
        EXPECT_TRUE(ParseUtcDate(text, DateBound::Start, parsed)) << text;
        EXPECT_EQ(parsed, expected);
    }
    for (const char* text : {"", "2026-1-09", "2026-13-01", "2026-12-00", "2026-12-09T24:00",
                             "2026-12-09T08", "2026-12-09T08:05+01:00", "09.12.2026"}) {
        std::string parsed;
        EXPECT_FALSE(ParseUtcDate(text, DateBound::Start, parsed)) << text;
    }
}

}  // namespace
}  // namespace veltrin
