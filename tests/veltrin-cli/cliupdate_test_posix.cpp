// veltrin-cli update against the pipette simulator on a pseudo-terminal and a loopback HTTPS
// server holding generated update data.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "clirun.h"
#include "pipettesimulator.h"
#include "sampledata.h"
#include "support/httpstestserver.h"
#include "support/tempdirectory.h"
#include "support/testcertificates.h"
#include "records/variantrecords.h"

namespace veltrin {
namespace {

constexpr char kVersion[] = "04.05.06";

struct CliResult {
    int Status = -1;
    std::string Out;
};

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class CliUpdateTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = dir_.Path() / "pipette-update";
        std::filesystem::create_directories(folder_);
        ASSERT_TRUE(test::MakeTestCertificates(dir_.Path().string(), certs_));
        server_ = std::make_unique<test::HttpsTestServer>(certs_);
        ASSERT_TRUE(server_->ServeDirectory("/pipette-update", folder_.string()));
    }

    void Publish(bool withQuorvan = true) {
        sample::SampleSetOptions options;
        options.Firmware.Version = kVersion;
        options.WithQuorvan = withQuorvan;
        ASSERT_EQ(sample::WriteSampleSet(folder_.string(), options), "");
    }

    static SimOptions DeviceOptions(int type) {
        SimOptions options;
        options.DeviceType = type;
        options.RestartSilenceMs = 50;
        return options;
    }

    CliResult RunUpdate(PipetteSimulator& sim, bool yes, const std::string& answers = "") {
        std::vector<std::string> args = {
            "update",      "--server",        server_->Origin() + "/pipette-update",
            "--ca-file",   certs_.CaCertFile, "--port",
            sim.PortName()};
        if (yes) {
            args.push_back("--yes");
        }
        std::ostringstream out;
        std::ostringstream err;
        std::istringstream in(answers);
        CliIo io{out, err, in, false, false};
        CliEnvironment environment;
        // The countdowns' seconds shrink to 15 ms (still longer in sum than the restart
        // silence); the short pauses between blocks vanish.
        environment.Sleeper = [](std::uint32_t ms) {
            if (ms >= 500) {
                SleepMilliseconds(15);
            }
        };
        CliResult result;
        result.Status = RunCli(args, io, environment);
        result.Out = out.str() + err.str();
        return result;
    }

    test::TempDirectory dir_;
    std::filesystem::path folder_;
    test::TestCertificateFiles certs_;
    std::unique_ptr<test::HttpsTestServer> server_;
};

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
    EXPECT_EQ(RunCli({"probe", " " + sim.PortName() + " ", "ttyNONE"}, io), 0);
    EXPECT_TRUE(Contains(out.str(), sim.PortName() + ": device type 11, ")) << out.str();
    EXPECT_TRUE(Contains(out.str(), "ttyNONE: cannot open (")) << out.str();
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

}  // namespace
}  // namespace veltrin
