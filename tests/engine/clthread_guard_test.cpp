// No exception leaves the worker: a failing handler or a device that drops off the bus still
// ends the run through its end event, with the port closed and the objects released.
#include <gtest/gtest.h>

#include <new>

#include "engine/updateresult.h"
#include "simharness.h"

namespace veltrin {
namespace {

using testing_support::EngineRun;
using testing_support::EventKind;
using testing_support::RecordedEvent;

struct ThrowCase {
    const char* Name;
    int Mode;
    std::string Text;  // the event whose handler throws
    bool Signalled;
};

class HandlerThrowsTest : public testing::TestWithParam<ThrowCase> {};

TEST_P(HandlerThrowsTest, RunEndsWithTheWorkerFaultCode) {
    PipetteSimulator sim(testing_support::FastSim(9, GetParam().Mode));
    ASSERT_EQ(sim.Start(), 0);
    EngineRun run;
    run.GiveFirmware(
        FirmwareFamily::QuorvanOtg,
        testing_support::FirmwareHex(FirmwareFamily::QuorvanOtg, testing_support::SmallFirmware()));
    run.WatchedPath = sim.DevicePath();
    const std::string text = GetParam().Text;
    run.Owner.OnEvent = [text](const RecordedEvent& event) {
        if (event.Kind != EventKind::ReportEnd && event.Text == text)
            throw std::bad_alloc();
    };
    run.Run({sim.PortName()});

    EXPECT_EQ(run.End().Value, kUpdateWorkerFault);
    EXPECT_EQ(run.End().Text, "");
    EXPECT_EQ(run.OpenAtEnd, 1);
    EXPECT_EQ(run.TemporaryFilesAtEnd, 0);
    EXPECT_EQ(run.Owner.Events().back().Kind, EventKind::Ended);
    EXPECT_EQ(sim.State().UpdateFailedSignalled, GetParam().Signalled ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Handlers, HandlerThrowsTest,
    testing::Values(ThrowCase{"DuringTheSearch", 1, "Search available devices ...", false},
                    ThrowCase{"BeforeTheUpload", 1, "Check the data for the update ...", false},
                    ThrowCase{"InTheBootloaderPhase", 2, "Update module 3/6", true}),
    [](const testing::TestParamInfo<ThrowCase>& info) { return std::string(info.param.Name); });

struct HangUpCase {
    const char* Name;
    int Mode;
    int Command;
    std::uint32_t Occurrence;
    int Expected;
};

class HangUpTest : public testing::TestWithParam<HangUpCase> {};

TEST_P(HangUpTest, TheFailingCommandDecidesTheCode) {
    SimOptions options = testing_support::FastSim(6, GetParam().Mode);
    SimFault hangUp;
    hangUp.Kind = SimFaultKind::HangUp;
    hangUp.Command = GetParam().Command;
    hangUp.Occurrence = GetParam().Occurrence;
    options.Faults = {hangUp};
    PipetteSimulator sim(options);
    ASSERT_EQ(sim.Start(), 0);
    EngineRun run;
    run.GiveFirmware(FirmwareFamily::TarnovelleK7,
                     testing_support::FirmwareHex(FirmwareFamily::TarnovelleK7,
                                                  testing_support::SmallFirmware()));
    run.Run({sim.PortName()});
    EXPECT_EQ(run.End().Value, GetParam().Expected);
    EXPECT_FALSE(run.End().Terminated);
    EXPECT_EQ(run.TemporaryFilesAtEnd, 0);
    EXPECT_EQ(run.Owner.Events().back().Kind, EventKind::Ended);
}

INSTANTIATE_TEST_SUITE_P(
    Unplugged, HangUpTest,
    testing::Values(HangUpCase{"ReadingTheVersion", 1, CMD_READ_VERSION_TEXT, 1,
                               kUpdateReadVersionTextFailed},
                    HangUpCase{"WritingTheBootloaderInTheApplication", 1, CMD_WRITE_MEMORY, 1,
                               kUpdateWriteMemoryFailed},
                    HangUpCase{"SwitchingTheBootRecord", 1, CMD_WRITE_BOOT_RECORD, 1,
                               kUpdateWriteBootRecordFailed},
                    // In the bootloader the failure must also be signalled, which fails as well.
                    HangUpCase{"WritingTheFontsInTheBootloader", 2, CMD_WRITE_MEMORY, 4,
                               kUpdateSignalUpdateFailedFailed}),
    [](const testing::TestParamInfo<HangUpCase>& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace veltrin
