// veltrin-cli update against the pipette simulator on a pseudo-terminal and a loopback HTTPS
// server holding generated update data.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cliupdatefixture.h"
#include "ui/variantrecords.h"

namespace veltrin {
namespace {

using test::CliResult;
using test::CliUpdateTest;
using test::Contains;

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
