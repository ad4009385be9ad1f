// Device safety: the line may be cut at any single exchange of an update, and the next run must
// still finish the pipette. Each case runs the update once uninterrupted, then once per exchange
// N with the device dropping off the bus at exchange N; the device comes back under a new port
// name, a second run updates it there and must leave the memories, records and mode of the
// uninterrupted run.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <iostream>
#include <string>
#include <vector>

#include "engine/updateresult.h"
#include "simharness.h"

namespace veltrin {
namespace {

using testing_support::EngineRun;

struct CutCase {
    const char* Name;
    int DeviceType;
    int Mode;
};

FirmwareFamily FamilyOf(int deviceType) {
    return deviceType >= 9 ? FirmwareFamily::QuorvanOtg : FirmwareFamily::TarnovelleK7;
}

// What an update must leave behind, byte for byte; counters and logs are left out because an
// interrupted history legitimately differs.
struct DeviceImage {
    int Mode = 0;
    bool ApplicationComplete = false;
    SimDeviceState Records;
    std::array<std::vector<std::pair<std::uint32_t, std::vector<std::uint8_t>>>,
               kSimMemoryTypeCount>
        Memories;

    // The first difference, or "" when none.
    std::string DifferenceFrom(const DeviceImage& other) const {
        if (Mode != other.Mode)
            return "mode " + std::to_string(Mode) + " instead of " + std::to_string(other.Mode);
        if (ApplicationComplete != other.ApplicationComplete)
            return "application completeness";
        if (Records.BootRecord != other.Records.BootRecord)
            return "boot record";
        if (Records.DeviceRecord != other.Records.DeviceRecord)
            return "device record";
        if (Records.ConfigRecord != other.Records.ConfigRecord)
            return "config record";
        if (Records.ParamRecord != other.Records.ParamRecord)
            return "param record";
        if (Records.VersionText0 != other.Records.VersionText0 ||
            Records.VersionText1 != other.Records.VersionText1) {
            return "version texts";
        }
        for (std::size_t m = 0; m < Memories.size(); ++m) {
            if (Memories[m] != other.Memories[m])
                return "memory " + std::to_string(m);
        }
        return "";
    }
};

DeviceImage ImageOf(const PipetteSimulator& sim) {
    // The worker may end on the last restart's answer, before the device has booted from it.
    EXPECT_TRUE(sim.WaitForState([](const SimDeviceState& s) { return !s.Restarting; },
                                 std::chrono::seconds(10)));
    DeviceImage image;
    image.Records = sim.State();
    image.Mode = image.Records.Mode;
    image.ApplicationComplete = image.Records.ApplicationComplete;
    for (int m = 0; m < kSimMemoryTypeCount; ++m) {
        const SimMemory memory = sim.Memory(m);
        for (const auto& span : memory.WrittenSpans()) {
            image.Memories[static_cast<std::size_t>(m)].emplace_back(
                span.Start, memory.Read(span.Start, span.Count));
        }
    }
    return image;
}

class CutTest : public testing::TestWithParam<CutCase> {
protected:
    // A restart that takes no time and countdowns that only log: nothing here depends on time.
    SimOptions Options() const {
        SimOptions options = testing_support::FastSim(GetParam().DeviceType, GetParam().Mode);
        options.RestartSilenceMs = 0;
        return options;
    }

    int Update(const std::string& port) {
        EngineRun run;
        run.Sleeps.RealMicrosecondsPerMillisecond = 0;
        run.GiveFirmware(family_, hex_);
        run.Run({port});
        return run.End().Value;
    }

    const FirmwareFamily family_ = FamilyOf(GetParam().DeviceType);
    const std::string hex_ =
        testing_support::FirmwareHex(family_, testing_support::SmallFirmware());
};

TEST_P(CutTest, TheNextRunFinishesTheDevice) {
    PipetteSimulator whole(Options());
    ASSERT_EQ(whole.Start(), 0);
    ASSERT_EQ(Update(whole.PortName()), kUpdateOk);
    const DeviceImage expected = ImageOf(whole);
    const std::size_t exchanges = whole.Requests().size();
    whole.Stop();

    std::size_t passed = 0;
    std::size_t failed = 0;
    for (std::size_t n = 1; n <= exchanges; ++n) {
        SCOPED_TRACE("line cut at exchange " + std::to_string(n) + " of " +
                     std::to_string(exchanges));
        SimOptions options = Options();
        SimFault cut;
        cut.Kind = SimFaultKind::HangUp;
        cut.Occurrence = static_cast<std::uint32_t>(n);
        options.Faults = {cut};
        PipetteSimulator sim(options);
        ASSERT_EQ(sim.Start(), 0);
        const int first = Update(sim.PortName());
        ASSERT_FALSE(sim.State().Plugged)
            << "the cut did not happen; first run ended with " << first << " after "
            << sim.Requests().size() << " exchanges";
        ASSERT_EQ(sim.Plug(), 0);
        // Only a device that needs nothing more may have been reported a success (the last
        // restart's answer is not waited for).
        if (first == kUpdateOk) {
            EXPECT_EQ(ImageOf(sim).DifferenceFrom(expected), "") << "reported a success";
        }
        const int second = Update(sim.PortName());
        const std::string difference = ImageOf(sim).DifferenceFrom(expected);
        EXPECT_EQ(second, kUpdateOk) << "first run ended with " << first;
        EXPECT_EQ(difference, "") << "first run ended with " << first;
        ++(second == kUpdateOk && difference.empty() ? passed : failed);
    }
    std::cout << GetParam().Name << ": line cut at each of " << exchanges
              << " exchanges: " << passed << " passed, " << failed << " failed\n";
}

INSTANTIATE_TEST_SUITE_P(Unplug, CutTest,
                         testing::Values(CutCase{"ElectronicFromApplication", 10, 1},
                                         CutCase{"ElectronicFromBootloader", 10, 2},
                                         CutCase{"DispensingFromApplication", 7, 1},
                                         CutCase{"DispensingFromBootloader", 7, 2}),
                         [](const testing::TestParamInfo<CutCase>& info) {
                             return std::string(info.param.Name);
                         });

}  // namespace
}  // namespace veltrin
