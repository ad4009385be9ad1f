// One whole update with the real pauses: the 10 s countdown and the pause of every skipped block
// take their full time, so the device's restart silence is met as in the field.
#include <gtest/gtest.h>

#include "engine/updateresult.h"
#include "simharness.h"
#include "workerrun.h"

namespace veltrin {
namespace {

using testing_support::EventKind;

TEST(RealTimeRunTest, DispensingPipetteWithRealPauses) {
    SimOptions options = testing_support::FastSim(7, 1);
    options.RestartSilenceMs = 2000;
    PipetteSimulator sim(options);
    ASSERT_EQ(sim.Start(), 0);
    const auto firmware = testing_support::SmallFirmware();
    const std::string hex = testing_support::FirmwareHex(FirmwareFamily::TarnovelleK7, firmware);

    testing_support::ThreadDispatcher dispatcher;
    testing_support::RecordingOwner owner;
    owner.HexTarnovelleK7 = hex;
    owner.VersionTarnovelleK7 = "Version 01.02.03";
    UpdateThreadSettings settings;  // no sleeper: real sleeps
    settings.OverridePorts = true;
    settings.Ports = {sim.PortName()};
    settings.TraceFileName = "";
    testing_support::RunWorkerToEnd(owner, dispatcher, settings);

    EXPECT_EQ(owner.Last(EventKind::ReportEnd)->Value, kUpdateOk);
    EXPECT_EQ(owner.Last(EventKind::ReportEnd)->Text, "Update Tarnovelle K7/K7x Version 01.02.03");
    for (const auto& segment : sample::BuildFirmwareImage(FirmwareFamily::TarnovelleK7, firmware)) {
        const int memory = segment.Address >= 0x08000000 ? MEM_INT_FLASH : MEM_EXT_FLASH;
        EXPECT_TRUE(sim.ReadMemory(memory, segment.Address,
                                   static_cast<std::uint32_t>(segment.Bytes.size())) ==
                    segment.Bytes);
    }
}

}  // namespace
}  // namespace veltrin
