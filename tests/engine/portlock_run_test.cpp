// One pipette, one run: the device's port stays locked from the search that finds it to the end
// of the run, through both restarts (the port itself is closed then); a run that finds its
// pipette's port held by another run is refused without touching it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/countdowntext.h"
#include "engine/updateresult.h"
#include "simharness.h"
#include "transport/portlock.h"

namespace veltrin {
namespace {

using testing_support::EngineRun;
using testing_support::EventKind;
using testing_support::FastSim;
using testing_support::RecordedEvent;

bool PortIsFree(const std::string& port) {
    std::unique_ptr<PortLock> lock;
    PortLockHolder holder;
    return AcquirePortLock(port, lock, holder) == 0;
}

struct LockCase {
    const char* Name;
    int DeviceType;
    FirmwareFamily Family;
    int Countdowns;  // restarts with the port closed: into the bootloader, and before the restore
    bool AtOnce;
};

TEST(PortLockRunTest, TheDevicesPortIsHeldInEveryPhaseOfTheRun) {
    const LockCase cases[] = {
        {"electronic, in turn", 9, FirmwareFamily::QuorvanOtg, 2, false},
        {"electronic, at once", 10, FirmwareFamily::QuorvanOtg, 2, true},
        {"dispensing, at once", 7, FirmwareFamily::TarnovelleK7, 1, true},
    };
    for (const auto& c : cases) {
        PipetteSimulator sim(FastSim(c.DeviceType, 1));
        ASSERT_EQ(sim.Start(), 0);
        const std::string port = sim.PortName();
        EngineRun run;
        run.ProbeAtOnce = c.AtOnce;
        run.GiveFirmware(c.Family,
                         testing_support::FirmwareHex(c.Family, testing_support::SmallFirmware()));
        // Each event runs while the worker waits at that point of its run: what another run
        // would meet there.
        std::mutex mutex;
        std::vector<std::pair<RecordedEvent, bool>> seen;
        run.Owner.OnEvent = [&](const RecordedEvent& event) {
            const bool free = PortIsFree(port);
            std::lock_guard<std::mutex> lock(mutex);
            seen.emplace_back(event, free);
        };
        run.Run({port});
        ASSERT_EQ(run.End().Value, kUpdateOk) << c.Name;

        // Free until the search begins; held from its end (the total bar's first step) to the
        // end event, which the end dialog may keep open for long, so it is free again there.
        enum { Before, Searching, Found } phase = Before;
        int countdownsHeld = 0;
        for (const auto& [event, free] : seen) {
            if (event.Kind == EventKind::ReportEnd) {
                EXPECT_TRUE(free) << c.Name;
                break;
            }
            if (phase == Searching && event.Kind == EventKind::SetTotalPosition)
                phase = Found;
            if (phase != Searching) {
                EXPECT_EQ(free, phase == Before)
                    << c.Name << ": event " << static_cast<int>(event.Kind) << " " << event.Text;
            }
            if (event.Kind == EventKind::ShowAction && event.Text == "Search available devices ...")
                phase = Searching;
            int seconds = 0;
            if (event.Kind == EventKind::ShowAction && ParseCountdownText(event.Text, seconds) &&
                seconds == 10 && !free) {
                ++countdownsHeld;
            }
        }
        EXPECT_EQ(phase, Found) << c.Name;
        EXPECT_EQ(countdownsHeld, c.Countdowns) << c.Name;
    }
}

enum class Held { Nothing, Pipette, Other };

struct RefusalCase {
    const char* Name;
    Held HeldPort;
    bool AtOnce;
    int Code;
    bool PipetteTouched;
};

TEST(PortLockRunTest, APortAnotherRunHoldsIsLeftAlone) {
    const RefusalCase cases[] = {
        {"held pipette, in turn", Held::Pipette, false, kUpdatePortInUse, false},
        {"held pipette, at once", Held::Pipette, true, kUpdatePortInUse, false},
        {"other port held, at once", Held::Other, true, kUpdateOk, true},
        {"nothing held", Held::Nothing, true, kUpdateOk, true},
    };
    PipetteSimulator other(FastSim(7, 1));
    ASSERT_EQ(other.Start(), 0);
    for (const auto& c : cases) {
        PipetteSimulator sim(FastSim(9, 1));
        ASSERT_EQ(sim.Start(), 0);
        std::unique_ptr<PortLock> held;
        PortLockHolder holder;
        if (c.HeldPort != Held::Nothing) {
            // Under the device path: a spelling of the same port.
            const std::string port =
                c.HeldPort == Held::Pipette ? sim.PortName() : other.PortName();
            ASSERT_EQ(AcquirePortLock("/dev/" + port, held, holder), 0) << c.Name;
        }
        const std::size_t otherRequests = other.Requests().size();
        EngineRun run;
        run.ProbeAtOnce = c.AtOnce;
        run.GiveFirmware(FirmwareFamily::QuorvanOtg,
                         testing_support::FirmwareHex(FirmwareFamily::QuorvanOtg,
                                                      testing_support::SmallFirmware()));
        run.Owner.Answers = {false};  // a found pipette is let go at the question
        const std::string otherPort = c.HeldPort == Held::Other ? other.PortName() : "ttyGONE9";
        run.Run({otherPort, sim.PortName()});

        EXPECT_EQ(run.End().Value, c.Code) << c.Name;
        EXPECT_EQ(!sim.Requests().empty(), c.PipetteTouched) << c.Name;
        EXPECT_EQ(other.Requests().size(), otherRequests) << c.Name << ": a held port was opened";
        const auto busy = run.Owner.BusyPorts();
        if (c.HeldPort == Held::Nothing) {
            EXPECT_TRUE(busy.empty()) << c.Name;
        } else {
            ASSERT_EQ(busy.size(), 1u) << c.Name;
            EXPECT_EQ(busy[0].Port,
                      c.HeldPort == Held::Pipette ? sim.PortName() : other.PortName());
            EXPECT_EQ(busy[0].HolderProcessId, static_cast<long>(getpid())) << c.Name;
        }
    }
}

}  // namespace
}  // namespace veltrin
