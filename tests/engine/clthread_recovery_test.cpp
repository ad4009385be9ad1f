// A device that drops off the bus in the middle of its application and comes back under a new
// port name: the next run finds it in its bootloader and completes the update.
#include <gtest/gtest.h>

#include <chrono>

#include "engine/updateresult.h"
#include "simharness.h"

namespace veltrin {
namespace {

using testing_support::EngineRun;
using testing_support::EventKind;

TEST(RecoveryTest, UnpluggedDuringTheApplicationThenUpdatedFromTheBootloader) {
    SimOptions options = testing_support::FastSim(10, 1);
    SimFault hangUp;
    hangUp.Kind = SimFaultKind::HangUp;
    hangUp.Command = CMD_WRITE_MEMORY;
    hangUp.MemoryType = MEM_INT_FLASH;
    hangUp.Occurrence = 2;
    options.Faults = {hangUp};
    PipetteSimulator sim(options);
    ASSERT_EQ(sim.Start(), 0);
    const std::string firstPort = sim.PortName();
    const auto firmwareOptions = testing_support::SmallFirmware();
    const std::string hex =
        testing_support::FirmwareHex(FirmwareFamily::QuorvanOtg, firmwareOptions);

    EngineRun first;
    first.GiveFirmware(FirmwareFamily::QuorvanOtg, hex);
    first.Run({firstPort});
    // The block write fails on the vanished port, and so does the failure signal after it.
    EXPECT_EQ(first.End().Value, kUpdateSignalUpdateFailedFailed);
    EXPECT_FALSE(first.End().Terminated);
    EXPECT_EQ(first.End().Text, "");
    EXPECT_EQ(first.TemporaryFilesAtEnd, 0);
    EXPECT_FALSE(sim.State().Plugged);

    ASSERT_EQ(sim.Plug(), 0);
    const std::string secondPort = sim.PortName();
    ASSERT_NE(secondPort, firstPort);
    EXPECT_EQ(sim.State().Mode, 2) << "a broken application keeps the device in its bootloader";
    const std::size_t requestsBefore = sim.Requests().size();

    EngineRun second;
    second.GiveFirmware(FirmwareFamily::QuorvanOtg, hex);
    second.WatchedPath = sim.DevicePath();
    // The old name is listed too, as a stale entry would be; it no longer opens.
    second.Run({firstPort, secondPort});

    EXPECT_EQ(second.End().Value, kUpdateOk);
    EXPECT_EQ(second.End().Text, "Update Quorvan/plus Version 01.02.03");
    EXPECT_EQ(second.OpenAtEnd, 1);
    // Found in the bootloader: no restart into it and no countdown before the data modules.
    std::vector<SimRequest> requests = sim.Requests();
    requests.erase(requests.begin(), requests.begin() + requestsBefore);
    for (const auto& request : requests) {
        if (request.Command == CMD_WRITE_MEMORY) {
            EXPECT_EQ(request.Mode, 2);
        }
    }
    EXPECT_EQ(second.Sleeps.Count(1000), 10u) << "only the countdown before the restore";

    for (const auto& segment :
         sample::BuildFirmwareImage(FirmwareFamily::QuorvanOtg, firmwareOptions)) {
        const int memory = segment.Address >= 0x08000000 ? MEM_INT_FLASH : MEM_EXT_FLASH;
        EXPECT_TRUE(sim.ReadMemory(memory, segment.Address,
                                   static_cast<std::uint32_t>(segment.Bytes.size())) ==
                    segment.Bytes)
            << std::hex << segment.Address;
    }
    ASSERT_TRUE(sim.WaitForState([](const SimDeviceState& s) { return !s.Restarting; },
                                 std::chrono::seconds(5)));
    const SimDeviceState state = sim.State();
    EXPECT_EQ(state.Mode, 1);
    EXPECT_EQ(state.BootState(), 0xA5A5A5A5u);
    EXPECT_EQ(state.AppState(), 0xA5A5A5A5u);
    EXPECT_EQ(state.BootSize(), firmwareOptions.Sizes.Bootloader);
    // The variant, unreadable before the upload in the bootloader, was read after the restart.
    EXPECT_EQ(second.Owner.Values(EventKind::LookupVariant), std::vector<std::int32_t>{0x0130});
    TSClQuorvanVariants_ParamRecord variant{};
    ASSERT_TRUE(testing_support::SampleVariants().FindVariant(0x0130, variant));
    const auto config = testing_support::ImagesOf(variant).Config;
    EXPECT_TRUE(std::equal(config.begin(), config.end(), state.ConfigRecord.begin()));
}

}  // namespace
}  // namespace veltrin
