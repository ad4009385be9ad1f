// Stopping a run: Cancel at each kind of check point and No to either question. Every stop ends
// with code 0, an empty end text and the terminated flag, the port closed and the file gone.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>

#include "engine/updateresult.h"
#include "simharness.h"

namespace veltrin {
namespace {

using testing_support::EngineRun;
using testing_support::EventKind;
using testing_support::RecordedEvent;

struct StopCase {
    const char* Name;
    int DeviceType;
    int Mode;
    std::string DeviceVersion;
    std::function<void(PipetteSimulator&, EngineRun&)> Arrange;
    std::function<void(PipetteSimulator&, EngineRun&)> Check;
};

// Cancel once the device has received the n-th request of a command (in a given mode, or any).
std::function<void(PipetteSimulator&, EngineRun&)> StopAtCommand(int command, int n = 1,
                                                                 int mode = 0) {
    return [command, n, mode](PipetteSimulator& sim, EngineRun& run) {
        auto seen = std::make_shared<std::atomic<int>>(0);
        sim.SetRequestListener([&run, seen, command, n, mode](const SimRequest& request) {
            if (request.Command == command && (mode == 0 || request.Mode == mode) && ++*seen == n) {
                run.Owner.Worker.load()->Terminate();
            }
        });
    };
}

// Cancel from the window while it shows the n-th event with this text.
std::function<void(PipetteSimulator&, EngineRun&)> StopAtText(std::string text, int n = 1) {
    return [text, n](PipetteSimulator&, EngineRun& run) {
        auto seen = std::make_shared<int>(0);
        run.Owner.OnEvent = [&run, seen, text, n](const RecordedEvent& event) {
            if (event.Text == text && ++*seen == n)
                run.Owner.Worker.load()->Terminate();
        };
    };
}

std::function<void(PipetteSimulator&, EngineRun&)> Answer(std::deque<bool> answers) {
    return [answers](PipetteSimulator&, EngineRun& run) { run.Owner.Answers = answers; };
}

std::size_t CountRequests(const PipetteSimulator& sim, int command) {
    std::size_t count = 0;
    for (const auto& request : sim.Requests()) {
        if (request.Command == command)
            ++count;
    }
    return count;
}

const char kCountdownStart[] = "Update will continue in 10 seconds ...";
const char kSameVersion[] =
    "The newest update version corresponds to\nthe version on the device.\n\nStart Update?";
const char kOlderVersion[] =
    "The available update version is older than\nthe version on the device.\n\nStart Update?";
const char kUserData[] = "! Adjustments and other user data will be deleted.\n\nStart Update?";

class StopTest : public testing::TestWithParam<StopCase> {};

TEST_P(StopTest, EndsCleanlyWithTheTerminatedFlag) {
    const StopCase& c = GetParam();
    SimOptions options = testing_support::FastSim(c.DeviceType, c.Mode);
    if (!c.DeviceVersion.empty())
        options.Version0 = c.DeviceVersion;
    PipetteSimulator sim(options);
    ASSERT_EQ(sim.Start(), 0);
    EngineRun run;
    const FirmwareFamily family =
        c.DeviceType >= 9 ? FirmwareFamily::QuorvanOtg : FirmwareFamily::TarnovelleK7;
    run.GiveFirmware(family,
                     testing_support::FirmwareHex(family, testing_support::SmallFirmware()));
    run.WatchedPath = sim.DevicePath();
    c.Arrange(sim, run);
    run.Run({sim.PortName()});
    sim.SetRequestListener(nullptr);

    EXPECT_EQ(run.End().Value, kUpdateOk);
    EXPECT_TRUE(run.End().Terminated);
    EXPECT_EQ(run.End().Text, "");
    EXPECT_EQ(run.OpenAtEnd, 1);
    EXPECT_EQ(run.TemporaryFilesAtEnd, 0);
    c.Check(sim, run);
}

INSTANTIATE_TEST_SUITE_P(
    CheckPoints, StopTest,
    testing::Values(
        StopCase{"DuringTheSearch", 9, 1, "", StopAtText("Search available devices ..."),
                 [](PipetteSimulator& sim, EngineRun& run) {
                     // The search runs to its end, the sequence does not start.
                     EXPECT_EQ(sim.Requests().size(), 1u);
                     EXPECT_TRUE(run.Owner.Texts(EventKind::ShowTitle).empty());
                 }},
        StopCase{"AfterTheBatteryCheck", 9, 1, "", StopAtCommand(CMD_READ_BATTERY_STATUS),
                 [](PipetteSimulator& sim, EngineRun&) { EXPECT_EQ(sim.Requests().size(), 2u); }},
        StopCase{"BeforeTheQuestions", 6, 1, "", StopAtCommand(CMD_READ_INFO_TEXT),
                 [](PipetteSimulator& sim, EngineRun& run) {
                     EXPECT_TRUE(run.Owner.Texts(EventKind::AskYesNo).empty());
                     EXPECT_EQ(CountRequests(sim, CMD_READ_DEVICE_MODE), 0u);
                 }},
        StopCase{"AfterTheVariantId", 9, 1, "", StopAtCommand(CMD_READ_DEVICE_RECORD),
                 [](PipetteSimulator& sim, EngineRun&) {
                     EXPECT_EQ(CountRequests(sim, CMD_READ_BOOT_RECORD), 0u);
                 }},
        StopCase{"InTheBootloaderUploadBeforeTheRestart", 9, 1, "", StopAtCommand(CMD_WRITE_MEMORY),
                 [](PipetteSimulator& sim, EngineRun&) {
                     EXPECT_EQ(sim.WrittenBlocks().size(), 1u);
                     EXPECT_EQ(sim.State().Restarts, 0u);
                     EXPECT_EQ(sim.State().UpdateFailedSignalled, 0u);
                 }},
        StopCase{"InTheBootloaderUploadInTheBootloader", 10, 2, "", StopAtCommand(CMD_WRITE_MEMORY),
                 [](PipetteSimulator& sim, EngineRun&) {
                     EXPECT_EQ(sim.WrittenBlocks().size(), 1u);
                     EXPECT_EQ(sim.State().UpdateFailedSignalled, 1u);
                 }},
        StopCase{"InTheFontsUpload", 7, 1, "", StopAtCommand(CMD_WRITE_MEMORY, 3, 2),
                 [](PipetteSimulator& sim, EngineRun&) {
                     EXPECT_EQ(sim.State().UpdateFailedSignalled, 1u);
                     EXPECT_EQ(sim.State().UpdateSuccessShown, 0u);
                     EXPECT_TRUE(sim.State().ApplicationSizes.empty());
                 }},
        StopCase{"DuringTheCountdownAfterTheRestart", 9, 1, "", StopAtText(kCountdownStart),
                 [](PipetteSimulator& sim, EngineRun& run) {
                     // The device stays in its bootloader with the new bootloader.
                     ASSERT_TRUE(
                         sim.WaitForState([](const SimDeviceState& s) { return !s.Restarting; },
                                          std::chrono::seconds(5)));
                     EXPECT_EQ(sim.State().Mode, 2);
                     EXPECT_EQ(sim.State().AppState(), 0x5A5A5A5Au);
                     EXPECT_EQ(sim.State().BootState(), 0xA5A5A5A5u);
                     EXPECT_EQ(testing_support::ReceivedModules(sim).size(), 1u);
                     EXPECT_EQ(run.Sleeps.Count(1000), 1u);
                 }},
        StopCase{"BeforeTheApplicationStarts", 6, 2, "", StopAtCommand(CMD_WRITE_BOOT_RECORD, 3),
                 [](PipetteSimulator& sim, EngineRun&) {
                     EXPECT_EQ(sim.State().Restarts, 0u);
                     EXPECT_EQ(sim.State().UpdateSuccessShown, 1u);
                 }},
        StopCase{"DuringTheFinalCountdown", 11, 1, "", StopAtText(kCountdownStart, 2),
                 [](PipetteSimulator& sim, EngineRun& run) {
                     EXPECT_EQ(CountRequests(sim, CMD_WRITE_CONFIG_RECORD), 0u);
                     EXPECT_EQ(sim.State().Restarts, 2u);
                     EXPECT_TRUE(run.Owner.Values(EventKind::LookupVariant).empty());
                 }},
        StopCase{"NoToTheSameVersion", 9, 1, "01.02.03", Answer({false}),
                 [](PipetteSimulator& sim, EngineRun& run) {
                     EXPECT_EQ(run.Owner.Texts(EventKind::AskYesNo),
                               std::vector<std::string>{kSameVersion});
                     EXPECT_EQ(CountRequests(sim, CMD_READ_DEVICE_MODE), 0u);
                 }},
        StopCase{"YesToTheOlderVersionThenNoToTheUserData", 6, 1, "09.00.00", Answer({true, false}),
                 [](PipetteSimulator& sim, EngineRun& run) {
                     EXPECT_EQ(run.Owner.Texts(EventKind::AskYesNo),
                               (std::vector<std::string>{kOlderVersion, kUserData}));
                     EXPECT_TRUE(sim.WrittenBlocks().empty());
                 }},
        StopCase{"NoToTheUserDataWithAnUnreadableDeviceVersion", 9, 1, "1.2", Answer({false}),
                 [](PipetteSimulator& sim, EngineRun& run) {
                     EXPECT_EQ(run.Owner.Texts(EventKind::AskYesNo),
                               std::vector<std::string>{kUserData});
                     EXPECT_TRUE(sim.WrittenBlocks().empty());
                 }}),
    [](const testing::TestParamInfo<StopCase>& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace veltrin
