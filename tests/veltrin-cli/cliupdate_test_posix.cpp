// veltrin-cli update against the pipette simulator on a pseudo-terminal and a loopback HTTPS
// server holding generated update data.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "args/tracefilename.h"
#include "cliupdatefixture.h"
#include "engine/updateresult.h"
#include "events/jsonevents.h"
#include "output/endadvice.h"
#include "protocol/connectparams.h"
#include "records/variantrecords.h"
#include "support/portalias.h"

namespace veltrin {
namespace {

using test::CliResult;
using test::CliUpdateTest;
using test::Contains;
using test::kVersion;

std::string ReadText(const std::string& fileName) {
    std::ifstream file(fileName, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST_F(CliUpdateTest, UpdatesAnElectronicPipetteAndRestoresItsVariant) {
    Publish();
    PipetteSimulator sim(DeviceOptions(10));
    ASSERT_EQ(sim.Start(), 0);

    const CliResult result = RunUpdate(sim, true);
    EXPECT_EQ(result.Status, 0) << result.Out;
    EXPECT_TRUE(Contains(result.Out, "Update Quorvan/plus Version 04.05.06\n")) << result.Out;
    EXPECT_TRUE(Contains(result.Out, "  Update module 6/6\n"));
    EXPECT_TRUE(Contains(result.Out, "Update finished: Update successful\n"));
    EXPECT_TRUE(Contains(result.Out,
                         "Update Quorvan/plus Version 04.05.06 has been installed.\nUnplug the "
                         "device.\n"));

    ASSERT_TRUE(sim.WaitForState(
        [](const SimDeviceState& state) { return state.Mode == 1 && !state.Restarting; },
        std::chrono::seconds(5)));
    const SimDeviceState state = sim.State();
    EXPECT_EQ(state.UpdateSuccessShown, 1u);
    // The configuration record written back is the one the window would build for the variant.
    ClQuorvanVariants variants;
    const auto par = sample::GenerateVariantFile(sample::DefaultVariantIds(), 1);
    MemoryByteSource source(par.data(), par.size());
    ASSERT_EQ(variants.Load(source), PAR_OK);
    TSClQuorvanVariants_ParamRecord record{};
    ASSERT_TRUE(variants.FindVariant(sim.Options().VariantId, record));
    const ConfigRecordImage expected = MakeConfigRecord(record);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), state.ConfigRecord.begin()));
}

TEST_F(CliUpdateTest, UpdatesADispensingPipette) {
    Publish();
    PipetteSimulator sim(DeviceOptions(7));
    ASSERT_EQ(sim.Start(), 0);

    const CliResult result = RunUpdate(sim, true);
    EXPECT_EQ(result.Status, 0) << result.Out;
    EXPECT_TRUE(Contains(result.Out, "  Update module 5/5\n")) << result.Out;
    EXPECT_TRUE(
        Contains(result.Out, "Update Tarnovelle K7/K7x Version 04.05.06 has been installed."));
    // The run ends with the restart into the application; the device comes back after it.
    EXPECT_TRUE(sim.WaitForState(
        [](const SimDeviceState& state) { return state.Mode == 1 && !state.Restarting; },
        std::chrono::seconds(5)));
}

TEST_F(CliUpdateTest, ProbeNamesTheDeviceOnEachPort) {
    PipetteSimulator sim(DeviceOptions(11));
    ASSERT_EQ(sim.Start(), 0);
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream in;
    CliIo io{out, err, in, false, false};
    // The same device under a long name, as on a lab PC with many USB ports, and a name too
    // long to be opened whole, which must not be cut into another port's name.
    const testsupport::PortAlias alias(sim.PortName(), "ttyUSB12");
    const std::string tooLong(kPortNameSize, 'x');
    std::vector<std::string> args = {"probe", " " + sim.PortName() + " ", "ttyNONE", tooLong};
    if (alias.Ok())
        args.push_back(alias.Name());
    EXPECT_EQ(RunCli(args, io), 0);
    // One table row per port: the port, then its device or why there is none.
    const auto row = [&out](const std::string& port) {
        std::istringstream lines(out.str());
        std::string line;
        while (std::getline(lines, line)) {
            if (line.rfind(port + " ", 0) == 0)
                return line;
        }
        return std::string();
    };
    EXPECT_TRUE(Contains(row(sim.PortName()), "  11 ")) << out.str();
    EXPECT_TRUE(Contains(row("ttyNONE"), "  no such port")) << out.str();
    EXPECT_TRUE(Contains(row(tooLong), "  name longer than 63 characters")) << out.str();
    if (alias.Ok()) {
        EXPECT_TRUE(Contains(row(alias.Name()), "  11 ")) << out.str();
    }
}

struct RefusedCase {
    const char* Title;
    int DeviceType;
    std::uint16_t Battery;
    bool WithQuorvan;
    int Status;
    const char* ErrorText;
    const char* Hint;
};

void PrintTo(const RefusedCase& c, std::ostream* os) {
    *os << c.Title;
}

class CliUpdateRefusedTest : public CliUpdateTest,
                             public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(CliUpdateRefusedTest, ExitsWithTheResultCodeAndPrintsTheEndTexts) {
    const RefusedCase& c = GetParam();
    Publish(c.WithQuorvan);
    SimOptions options = DeviceOptions(c.DeviceType);
    options.Battery = c.Battery;
    PipetteSimulator sim(options);
    ASSERT_EQ(sim.Start(), 0);

    const CliResult result = RunUpdate(sim, true);
    EXPECT_EQ(result.Status, c.Status) << result.Out;
    EXPECT_TRUE(Contains(result.Out,
                         "Update terminated: The update was terminated prematurely due to an "
                         "error\n"))
        << result.Out;
    EXPECT_TRUE(Contains(result.Out, std::string(c.ErrorText) + "\n" + c.Hint + "\n"))
        << result.Out;
    // The line of advice follows the end texts, where the code has one.
    const std::string advice = EndAdviceFor(c.Status);
    EXPECT_EQ(Contains(result.Out, c.Hint + ("\n" + advice + "\n")), !advice.empty()) << result.Out;
    EXPECT_EQ(Contains(result.Out, "What to do: "), !advice.empty()) << result.Out;
    EXPECT_TRUE(sim.WrittenBlocks().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Devices, CliUpdateRefusedTest,
    ::testing::Values(RefusedCase{"UnsupportedDeviceIsNoDevice", 5, 3, true, 2,
                                  "No device found - one device must be connected!",
                                  "Plug your device into the USB and start update."},
                      RefusedCase{
                          "NoFirmwareForItsFamily", 9, 3, false, 4,
                          "Update Quorvan/plus impossible - no data available!",
                          "Unplug Quorvan/plus - only update of Tarnovelle K7/K7x is possible."},
                      RefusedCase{"BatteryTooLow", 6, 0, true, 6,
                                  "The battery status is too low to carry out the update!",
                                  "Connect charging plug into the device\nbefore restart update."}),
    [](const ::testing::TestParamInfo<RefusedCase>& info) { return info.param.Title; });

TEST_F(CliUpdateTest, NoToTheQuestionEndsTheRunAsCancelled) {
    Publish();
    PipetteSimulator sim(DeviceOptions(6));
    ASSERT_EQ(sim.Start(), 0);

    const CliResult result = RunUpdate(sim, false, "n\n");
    EXPECT_EQ(result.Status, kExitCancelled) << result.Out;
    EXPECT_TRUE(Contains(result.Out,
                         "! Adjustments and other user data will be deleted.\n\nStart "
                         "Update? [y/N] n\n"))
        << result.Out;
    EXPECT_TRUE(Contains(result.Out, "Update terminated: The update was ended by the user\n"));
    EXPECT_TRUE(sim.WrittenBlocks().empty());
}


// Several pipettes at once: one worker per port, a line of progress each, a summary at the end.
class CliSeveralDevicesTest : public CliUpdateTest {
protected:
    CliResult RunSeveral(const std::vector<std::string>& ports, bool yes,
                         const std::vector<std::string>& extra = {}) {
        std::vector<std::string> args = {"update", "--server",
                                         server_->Origin() + "/pipette-update", "--ca-file",
                                         certs_.CaCertFile};
        for (const auto& port : ports) {
            args.push_back("--port");
            args.push_back(port);
        }
        if (yes) {
            args.push_back("--yes");
        }
        args.insert(args.end(), extra.begin(), extra.end());
        std::ostringstream out;
        std::ostringstream err;
        std::istringstream in;
        CliIo io{out, err, in, false, false};
        CliEnvironment environment;
        environment.Sleeper = [](std::uint32_t ms) {
            if (ms >= 500) {
                SleepMilliseconds(15);
            }
        };
        CliResult result;
        result.Status = RunCli(args, io, environment);
        result.Out = out.str() + err.str();
        result.StdOut = out.str();
        return result;
    }

    // The summary row of a port: from the port's name at a line start to the line end.
    static std::string SummaryRow(const std::string& out, const std::string& port) {
        const std::size_t header = out.rfind("\nPORT ");
        if (header == std::string::npos) {
            return "";
        }
        const std::size_t at = out.find("\n" + port + " ", header + 1);
        if (at == std::string::npos) {
            return "";
        }
        return out.substr(at + 1, out.find('\n', at + 1) - at - 1);
    }
};

TEST_F(CliSeveralDevicesTest, UpdatesBothFamiliesAtOnceAndSumsUp) {
    Publish();
    PipetteSimulator quorvan(DeviceOptions(10));
    PipetteSimulator tarnovelle(DeviceOptions(7));
    ASSERT_EQ(quorvan.Start(), 0);
    ASSERT_EQ(tarnovelle.Start(), 0);

    const CliResult result = RunSeveral({quorvan.PortName(), tarnovelle.PortName()}, true);
    EXPECT_EQ(result.Status, 0) << result.Out;
    // Plain lines carry their port.
    EXPECT_TRUE(Contains(result.Out, "[" + quorvan.PortName() + "] Update Quorvan/plus Version "
                                                                 "04.05.06\n"))
        << result.Out;
    EXPECT_TRUE(Contains(result.Out, "[" + tarnovelle.PortName() + "]   Update module 5/5\n"));
    for (PipetteSimulator* sim : {&quorvan, &tarnovelle}) {
        const std::string row = SummaryRow(result.Out, sim->PortName());
        EXPECT_TRUE(Contains(row, "-> 04.05.06  success")) << row << "\n" << result.Out;
        EXPECT_TRUE(sim->WaitForState(
            [](const SimDeviceState& state) { return state.Mode == 1 && !state.Restarting; },
            std::chrono::seconds(5)));
        EXPECT_EQ(sim->State().UpdateSuccessShown, 1u);
    }
}

TEST_F(CliSeveralDevicesTest, OneFailureDoesNotStopTheOthersButSetsTheExitStatus) {
    Publish();
    PipetteSimulator pipette(DeviceOptions(6));
    PipetteSimulator unsupported(DeviceOptions(5));
    ASSERT_EQ(pipette.Start(), 0);
    ASSERT_EQ(unsupported.Start(), 0);

    const CliResult result = RunSeveral({unsupported.PortName(), pipette.PortName()}, true);
    EXPECT_EQ(result.Status, kExitSomeDevicesFailed) << result.Out;
    EXPECT_TRUE(Contains(SummaryRow(result.Out, unsupported.PortName()),
                         "code 2: No device found"))
        << result.Out;
    EXPECT_TRUE(Contains(SummaryRow(result.Out, pipette.PortName()), "success")) << result.Out;
    // Below the table, what to do for each device that failed.
    EXPECT_TRUE(Contains(
        result.Out, "\n" + unsupported.PortName() + ": " + EndAdviceFor(kUpdateNoDevice) + "\n"))
        << result.Out;
    EXPECT_FALSE(Contains(result.Out, pipette.PortName() + ": What to do")) << result.Out;
    EXPECT_TRUE(unsupported.WrittenBlocks().empty());
    EXPECT_FALSE(pipette.WrittenBlocks().empty());
}

// Under --json every device's events carry its port, and each device ends with a summary event.
TEST_F(CliSeveralDevicesTest, JsonEventsAreTaggedWithTheirPort) {
    Publish();
    PipetteSimulator quorvan(DeviceOptions(9));
    PipetteSimulator unsupported(DeviceOptions(5));
    ASSERT_EQ(quorvan.Start(), 0);
    ASSERT_EQ(unsupported.Start(), 0);

    const CliResult result =
        RunSeveral({quorvan.PortName(), unsupported.PortName()}, true, {"--json"});
    EXPECT_EQ(result.Status, kExitSomeDevicesFailed) << result.Out;
    std::map<std::string, std::vector<std::string>> eventsByPort;
    // Standard output holds only JSON; messages for people (no history folder here) go to
    // standard error.
    std::istringstream lines(result.StdOut);
    std::string line;
    while (std::getline(lines, line)) {
        const Json event = Json::parse(line, nullptr, false);
        ASSERT_FALSE(event.is_discarded()) << line;
        const std::string port = event["port"].is_string() ? event["port"].get<std::string>() : "";
        eventsByPort[port].push_back(event["event"].get<std::string>());
        if (event["event"] == "summary") {
            EXPECT_EQ(event["exit_status"], port == quorvan.PortName() ? 0 : 2) << line;
            if (port == quorvan.PortName()) {
                EXPECT_EQ(event["version_after"], kVersion) << line;
            }
        }
    }
    // Advice is for people at a terminal, never part of the events.
    EXPECT_FALSE(Contains(result.Out, "What to do")) << result.Out;
    for (const auto* sim : {&quorvan, &unsupported}) {
        const auto& events = eventsByPort[sim->PortName()];
        ASSERT_FALSE(events.empty()) << result.Out;
        EXPECT_EQ(events.front(), "start");
        EXPECT_EQ(events.back(), "summary");
        EXPECT_EQ(std::count(events.begin(), events.end(), "end"), 1);
    }
}

TEST_F(CliSeveralDevicesTest, SeveralDevicesNeedYes) {
    Publish();
    PipetteSimulator first(DeviceOptions(6));
    PipetteSimulator second(DeviceOptions(9));
    ASSERT_EQ(first.Start(), 0);
    ASSERT_EQ(second.Start(), 0);

    const CliResult result = RunSeveral({first.PortName(), second.PortName()}, false);
    EXPECT_EQ(result.Status, kExitUsage) << result.Out;
    EXPECT_TRUE(Contains(result.Out, "need --yes")) << result.Out;
    EXPECT_TRUE(first.Requests().empty());
    EXPECT_TRUE(second.Requests().empty());
}

// --trace writes the run's steps and memory blocks; several devices get a file each, and a
// trace that cannot be written stops the command before it asks any device.
TEST_F(CliSeveralDevicesTest, TraceWritesOneFilePerRun) {
    Publish();
    PipetteSimulator first(DeviceOptions(6));
    PipetteSimulator second(DeviceOptions(9));
    ASSERT_EQ(first.Start(), 0);
    ASSERT_EQ(second.Start(), 0);
    const std::string trace = dir_.File("traces/run.txt");
    std::filesystem::create_directories(dir_.Path() / "traces");

    const CliResult one = RunUpdate(first, true, "", {"--trace", trace});
    EXPECT_EQ(one.Status, 0) << one.Out;
    const std::string text = ReadText(trace);
    EXPECT_TRUE(Contains(text, std::string(120, '#') + "\n")) << text;
    EXPECT_TRUE(Contains(text, "schreibe in Speicher: ")) << text;

    const CliResult both =
        RunSeveral({first.PortName(), second.PortName()}, true,
                   {"--trace", trace, "--allow-reinstall"});
    EXPECT_EQ(both.Status, 0) << both.Out;
    for (const PipetteSimulator* sim : {&first, &second}) {
        const std::string own = ReadText(TraceFileForPort(trace, sim->PortName()));
        EXPECT_TRUE(Contains(own, "schreibe in Speicher: ")) << sim->PortName();
    }

    for (const bool several : {false, true}) {
        const std::size_t asked = first.Requests().size();
        const std::vector<std::string> extra = {"--trace", dir_.File("none/run.txt")};
        const CliResult refused =
            several ? RunSeveral({first.PortName(), second.PortName()}, true, extra)
                    : RunUpdate(first, true, "", extra);
        EXPECT_EQ(refused.Status, kExitUsage) << refused.Out;
        EXPECT_TRUE(Contains(refused.Out, "cannot write the trace file")) << refused.Out;
        EXPECT_EQ(first.Requests().size(), asked);
    }
}

}  // namespace
}  // namespace veltrin
