// Every failing command of the sequence ends the run with its own result code, the port closed
// and the temporary file gone; failures in the bootloader phase are signalled to the device.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>

#include "engine/updateresult.h"
#include "simharness.h"

namespace veltrin {
namespace {

using testing_support::EngineRun;
using testing_support::EventKind;

constexpr std::uint16_t kRefused = 0x0103;

struct CommandFailure {
    const char* Name;
    int DeviceType;
    int Mode;
    int Command;
    std::uint32_t Occurrence;
    int Expected;
    bool Signalled;  // SignalUpdateFailed reached the device
    std::function<void(SimDeviceState&)> Edit = nullptr;
    int MemoryType = -1;
    bool SignalFails = false;
};

FirmwareFamily FamilyOf(int deviceType) {
    return deviceType >= 9 ? FirmwareFamily::QuorvanOtg : FirmwareFamily::TarnovelleK7;
}

void SetVariant(std::uint8_t* record, std::uint16_t id) {
    record[0] = id & 0xFF;
    record[1] = id >> 8;
}

class CommandFailureTest : public testing::TestWithParam<CommandFailure> {};

TEST_P(CommandFailureTest, EndsWithTheCommandsCode) {
    const CommandFailure& c = GetParam();
    SimOptions options = testing_support::FastSim(c.DeviceType, c.Mode);
    SimFault fault;
    fault.Kind = SimFaultKind::Status;
    fault.Status = kRefused;
    fault.Command = c.Command;
    fault.MemoryType = c.MemoryType;
    fault.Occurrence = c.Occurrence;
    options.Faults = {fault};
    if (c.SignalFails) {
        SimFault signal = fault;
        signal.Command = CMD_SIGNAL_UPDATE_FAILED;
        signal.MemoryType = -1;
        signal.Occurrence = 1;
        options.Faults.push_back(signal);
    }
    PipetteSimulator sim(options);
    if (c.Edit)
        sim.EditState(c.Edit);
    ASSERT_EQ(sim.Start(), 0);

    EngineRun run;
    const FirmwareFamily family = FamilyOf(c.DeviceType);
    run.GiveFirmware(family,
                     testing_support::FirmwareHex(family, testing_support::SmallFirmware()));
    run.WatchedPath = sim.DevicePath();
    run.Run({sim.PortName()});

    EXPECT_EQ(run.End().Value, c.Expected);
    EXPECT_FALSE(run.End().Terminated);
    if (c.Expected != kUpdateOk) {
        EXPECT_EQ(run.End().Text, "");
    }
    EXPECT_EQ(run.OpenAtEnd, 1) << "the worker's port must be closed";
    EXPECT_EQ(run.TemporaryFilesAtEnd, 0);
    // Every failure after the search leaves the owner knowing the device it concerned, with
    // the texts read before the failure and none after it.
    const auto reports = run.Owner.DeviceReports();
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back().Port, sim.PortName());
    EXPECT_EQ(reports.back().DeviceType, c.DeviceType);
    if (c.Expected == kUpdateReadVersionText1Failed) {
        EXPECT_EQ(reports.back().VersionText0, "01.00.00 Application 20240101");
        EXPECT_EQ(reports.back().InfoText, "");
    }
    // The failing command was asked as often as the fault needed, and it was answered so.
    std::uint32_t seen = 0;
    for (const auto& request : sim.Requests()) {
        if (request.Command == c.Command && request.Outcome == SimOutcome::Status)
            ++seen;
    }
    EXPECT_GE(seen, 1u);
    const SimDeviceState state = sim.State();
    EXPECT_EQ(state.UpdateFailedSignalled, c.Signalled && !c.SignalFails ? 1u : 0u);
}

// Occurrences count the device's view: ReadDeviceId is asked once by the search first;
// WriteBootRecord in order Invalidate, Validate, StayInBootloader, StartApplication; the
// electronic pipette's RestartDevice into the bootloader, into the application, after restore.
const CommandFailure kCommandFailures[] = {
    {"ReadBatteryStatus", 9, 1, CMD_READ_BATTERY_STATUS, 1, kUpdateReadBatteryStatusFailed, false},
    {"ReadDeviceId", 9, 1, CMD_READ_DEVICE_ID, 2, kUpdateReadDeviceIdFailed, false},
    {"ReadVersionText0", 9, 1, CMD_READ_VERSION_TEXT, 1, kUpdateReadVersionTextFailed, false},
    {"ReadVersionText1", 9, 1, CMD_READ_VERSION_TEXT, 2, kUpdateReadVersionText1Failed, false},
    {"ReadInfoText", 9, 1, CMD_READ_INFO_TEXT, 1, kUpdateReadInfoTextFailed, false},
    {"ReadDeviceModeBeforeUpload", 9, 1, CMD_READ_DEVICE_MODE, 1, kUpdateReadDeviceModeFailed,
     false},
    {"ReadDeviceRecord", 9, 1, CMD_READ_DEVICE_RECORD, 1, kUpdateReadDeviceRecordFailed, false},
    {"ReadConfigRecord", 9, 1, CMD_READ_CONFIG_RECORD, 1, kUpdateReadConfigRecordFailed, false,
     [](SimDeviceState& s) { SetVariant(s.DeviceRecord.data(), 0); }},
    {"ReadParamRecord", 9, 1, CMD_READ_PARAM_RECORD, 1, kUpdateReadParamRecordFailed, false,
     [](SimDeviceState& s) {
         SetVariant(s.DeviceRecord.data(), 0);
         SetVariant(s.ConfigRecord.data(), 0);
     }},
    {"ReadBootRecord", 9, 1, CMD_READ_BOOT_RECORD, 1, kUpdateReadBootRecordFailed, false},
    {"InvalidateBootloader", 9, 1, CMD_WRITE_BOOT_RECORD, 1, kUpdateWriteBootRecordFailed, false},
    {"ReadMemoryInfoInApplication", 9, 1, CMD_READ_MEMORY_INFO, 1, kUpdateReadMemoryInfoFailed,
     false},
    {"WriteMemoryInApplication", 9, 1, CMD_WRITE_MEMORY, 1, kUpdateWriteMemoryFailed, false},
    {"ValidateBootloader", 9, 1, CMD_WRITE_BOOT_RECORD, 2, kUpdateWriteBootRecordFailed, false},
    {"SetStayInBootloader", 9, 1, CMD_WRITE_BOOT_RECORD, 3, kUpdateWriteBootRecordFailed, false},
    {"RestartIntoBootloader", 9, 1, CMD_RESTART_DEVICE, 1, kUpdateRestartDeviceFailed, false},
    {"ReadDeviceModeAfterRestart", 9, 1, CMD_READ_DEVICE_MODE, 2, kUpdateReadDeviceModeFailed,
     false},
    {"BeginUpload", 9, 1, CMD_BEGIN_UPLOAD, 1, kUpdateBeginUploadFailed, true},
    {"SetProgress", 9, 1, CMD_SET_PROGRESS, 1, kUpdateSetProgressFailed, true},
    // The bootloader of 6000 bytes takes two blocks; the third is the data version block.
    {"WriteMemoryOfBootloader", 9, 1, CMD_WRITE_MEMORY, 2, kUpdateWriteMemoryFailed, false},
    {"WriteMemoryOfDataVersion", 9, 1, CMD_WRITE_MEMORY, 3, kUpdateWriteMemoryFailed, true},
    {"WriteMemoryOfSounds", 9, 1, CMD_WRITE_MEMORY, 4, kUpdateWriteMemoryFailed, true},
    {"SetApplicationSize", 9, 1, CMD_SET_APPLICATION_SIZE, 1, kUpdateSetApplicationSizeFailed,
     true},
    {"WriteMemoryOfApplication", 9, 1, CMD_WRITE_MEMORY, 2, kUpdateWriteMemoryFailed, true, nullptr,
     MEM_INT_FLASH},
    {"SignalUpdateFailed", 9, 1, CMD_WRITE_MEMORY, 1, kUpdateSignalUpdateFailedFailed, true,
     nullptr, MEM_INT_FLASH, true},
    {"ShowUpdateSuccess", 9, 1, CMD_SHOW_UPDATE_SUCCESS, 1, kUpdateShowUpdateSuccessFailed, false},
    {"SetStartApplication", 9, 1, CMD_WRITE_BOOT_RECORD, 4, kUpdateWriteBootRecordFailed, false},
    {"RestartIntoApplication", 9, 1, CMD_RESTART_DEVICE, 2, kUpdateRestartDeviceFailed, false},
    {"ReadDeviceModeAfterFinalRestart", 9, 1, CMD_READ_DEVICE_MODE, 3, kUpdateReadDeviceModeFailed,
     false},
    {"WriteConfigRecord", 9, 1, CMD_WRITE_CONFIG_RECORD, 1, kUpdateWriteConfigRecordFailed, false},
    {"WriteParamRecord", 9, 1, CMD_WRITE_PARAM_RECORD, 1, kUpdateWriteParamRecordFailed, false},
    {"ReadDeviceRecordOnRestore", 9, 1, CMD_READ_DEVICE_RECORD, 2, kUpdateReadDeviceRecordFailed,
     false},
    {"WriteDeviceRecord", 9, 1, CMD_WRITE_DEVICE_RECORD, 1, kUpdateWriteDeviceRecordFailed, false,
     [](SimDeviceState& s) { SetVariant(s.DeviceRecord.data(), 0); }},
    // The last restart's answer is not waited for: a failure there changes nothing.
    {"RestartAfterRestore", 9, 1, CMD_RESTART_DEVICE, 3, kUpdateOk, false},
    // Started in the bootloader: the bootloader itself is written with announcements, and the
    // variant is read only after the final restart.
    {"WriteMemoryOfBootloaderInBootloader", 10, 2, CMD_WRITE_MEMORY, 1, kUpdateWriteMemoryFailed,
     true},
    {"ReadMemoryInfoInBootloader", 6, 2, CMD_READ_MEMORY_INFO, 1, kUpdateReadMemoryInfoFailed,
     true},
    {"ReadDeviceRecordAfterBootloaderStart", 11, 2, CMD_READ_DEVICE_RECORD, 1,
     kUpdateReadDeviceRecordFailed, false},
    {"ShowUpdateSuccessOfDispensingPipette", 7, 1, CMD_SHOW_UPDATE_SUCCESS, 1,
     kUpdateShowUpdateSuccessFailed, false},
};

INSTANTIATE_TEST_SUITE_P(Sequence, CommandFailureTest, testing::ValuesIn(kCommandFailures),
                         [](const testing::TestParamInfo<CommandFailure>& info) {
                             return std::string(info.param.Name);
                         });

// Failures that are not a refused command: the device restarting into the wrong mode, or its
// port gone when the worker comes back after a countdown.
struct StateFailure {
    const char* Name;
    int Expected;
    std::function<void(PipetteSimulator&, EngineRun&)> Arrange;
    int OpenAtEnd;
    // The run ends before anything is written into the device: no block, no record.
    bool NothingWritten = false;
};

class StateFailureTest : public testing::TestWithParam<StateFailure> {};

TEST_P(StateFailureTest, EndsWithItsCode) {
    PipetteSimulator sim(testing_support::FastSim(9, 1));
    ASSERT_EQ(sim.Start(), 0);
    EngineRun run;
    run.GiveFirmware(
        FirmwareFamily::QuorvanOtg,
        testing_support::FirmwareHex(FirmwareFamily::QuorvanOtg, testing_support::SmallFirmware()));
    run.WatchedPath = sim.DevicePath();
    GetParam().Arrange(sim, run);
    run.Run({sim.PortName()});
    sim.SetRequestListener(nullptr);
    EXPECT_EQ(run.End().Value, GetParam().Expected);
    EXPECT_FALSE(run.End().Terminated);
    EXPECT_EQ(run.End().Text, "");
    EXPECT_EQ(run.OpenAtEnd, GetParam().OpenAtEnd);
    EXPECT_EQ(run.TemporaryFilesAtEnd, 0);
    if (GetParam().NothingWritten) {
        EXPECT_TRUE(sim.WrittenBlocks().empty());
        EXPECT_TRUE(sim.State().RecordWrites.empty());
    }
}

// After the n-th restart the device boots as the given AppState says.
std::function<void(PipetteSimulator&, EngineRun&)> BootAfterRestart(std::uint32_t n,
                                                                    std::uint32_t appState) {
    return [n, appState](PipetteSimulator& sim, EngineRun&) {
        auto restarts = std::make_shared<std::atomic<std::uint32_t>>(0);
        sim.SetRequestListener([&sim, restarts, n, appState](const SimRequest& request) {
            if (request.Command == CMD_RESTART_DEVICE && ++*restarts == n) {
                sim.EditState([appState](SimDeviceState& s) { s.SetAppState(appState); });
            }
        });
    };
}

// The device is unplugged while the n-th countdown runs.
std::function<void(PipetteSimulator&, EngineRun&)> UnplugInCountdown(int n) {
    return [n](PipetteSimulator& sim, EngineRun& run) {
        auto countdowns = std::make_shared<int>(0);
        run.Owner.OnEvent = [&sim, countdowns, n](const testing_support::RecordedEvent& event) {
            if (event.Text == "Update will continue in 10 seconds ..." && ++*countdowns == n)
                sim.Unplug();
        };
    };
}

INSTANTIATE_TEST_SUITE_P(
    Device, StateFailureTest,
    testing::Values(
        StateFailure{"NotInBootloaderAfterRestart", kUpdateNotInBootloader,
                     BootAfterRestart(1, 0xA5A5A5A5), 1},
        StateFailure{"NotInApplicationAfterFinalRestart", kUpdateNotInApplication,
                     BootAfterRestart(2, 0x5A5A5A5A), 1},
        // Only modes 1 and 2 exist; a third is no ground for an upload.
        StateFailure{"UnknownDeviceMode", kUpdateReadDeviceModeFailed,
                     [](PipetteSimulator& sim, EngineRun&) {
                         sim.EditState([](SimDeviceState& s) { s.Mode = 3; });
                     },
                     1, true},
        // Without its variant the adjustments could never be restored after the update
        // erased them, so the device is left untouched.
        StateFailure{"UnknownVariant", kUpdateNoKnownVariant,
                     [](PipetteSimulator& sim, EngineRun&) {
                         sim.EditState([](SimDeviceState& s) {
                             s.DeviceRecord[0] = 0x77;
                             s.DeviceRecord[1] = 0x07;
                             s.ConfigRecord[0] = s.ConfigRecord[1] = 0x00;
                             s.ParamRecord[0] = s.ParamRecord[1] = 0xFF;
                         });
                     },
                     1, true},
        StateFailure{"GoneAfterRestartIntoBootloader", kUpdateOpenFailed, UnplugInCountdown(1), 0},
        StateFailure{"GoneAfterFinalRestart", kUpdateOpenFailed, UnplugInCountdown(2), 0}),
    [](const testing::TestParamInfo<StateFailure>& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace veltrin
