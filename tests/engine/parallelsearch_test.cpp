// The search that probes every port at once must end exactly as the one that probes them in
// turn: same code, same device, same progress steps.
#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "engine/parallelprobe.h"
#include "engine/updateresult.h"
#include "engine/workerconnectparams.h"
#include "simharness.h"
#include "wiring/realtransports.h"

namespace veltrin {
namespace {

using testing_support::EngineRun;
using testing_support::EventKind;
using testing_support::FastSim;

// Simulated devices shared by every case; each case picks ports from them by role.
class SearchModesTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        quorvan_ = Start(FastSim(9, 1));
        tarnovelle_ = Start(FastSim(7, 1));
        otherType_ = Start(FastSim(5, 1));
        SimOptions nak = FastSim(6, 1);
        SimFault fault;
        fault.Kind = SimFaultKind::Nak;
        fault.Repeat = 0;
        nak.Faults = {fault};
        refusing_ = Start(nak);
    }
    static void TearDownTestSuite() {
        quorvan_.reset();
        tarnovelle_.reset();
        otherType_.reset();
        refusing_.reset();
    }
    static std::unique_ptr<PipetteSimulator> Start(SimOptions options) {
        auto sim = std::make_unique<PipetteSimulator>(std::move(options));
        EXPECT_EQ(sim->Start(), 0);
        return sim;
    }

    static std::unique_ptr<PipetteSimulator> quorvan_, tarnovelle_, otherType_, refusing_;
};

std::unique_ptr<PipetteSimulator> SearchModesTest::quorvan_;
std::unique_ptr<PipetteSimulator> SearchModesTest::tarnovelle_;
std::unique_ptr<PipetteSimulator> SearchModesTest::otherType_;
std::unique_ptr<PipetteSimulator> SearchModesTest::refusing_;

enum class Role { Quorvan, Tarnovelle, OtherType, Refusing, Gone };

struct SearchCase {
    const char* Name;
    std::vector<Role> Ports;
    bool QuorvanFirmware;
    bool TarnovelleFirmware;
    int Code;
};

struct SearchOutcome {
    int Code = -1;
    bool Terminated = false;
    std::string Title;
    std::vector<std::int32_t> Positions;
};

TEST_F(SearchModesTest, BothSearchesEndAlike) {
    const SearchCase cases[] = {
        {"no ports", {}, true, true, kUpdateNoDevice},
        {"only gone and refusing", {Role::Gone, Role::Refusing}, true, true, kUpdateNoDevice},
        {"unsupported only", {Role::OtherType, Role::Refusing}, true, true, kUpdateNoDevice},
        {"one beside others", {Role::OtherType, Role::Quorvan, Role::Gone}, true, false, kUpdateOk},
        {"one last", {Role::Refusing, Role::Gone, Role::Tarnovelle}, false, true, kUpdateOk},
        {"several", {Role::Quorvan, Role::OtherType, Role::Tarnovelle}, true, true,
         kUpdateSeveralDevices},
        {"no electronic firmware", {Role::Gone, Role::Quorvan}, false, true,
         kUpdateNoQuorvanOtgFirmware},
        {"no dispensing firmware", {Role::Tarnovelle, Role::Refusing}, true, false,
         kUpdateNoTarnovelleK7Firmware},
    };
    for (const auto& c : cases) {
        std::vector<std::string> ports;
        for (const Role role : c.Ports) {
            switch (role) {
                case Role::Quorvan: ports.push_back(quorvan_->PortName()); break;
                case Role::Tarnovelle: ports.push_back(tarnovelle_->PortName()); break;
                case Role::OtherType: ports.push_back(otherType_->PortName()); break;
                case Role::Refusing: ports.push_back(refusing_->PortName()); break;
                case Role::Gone: ports.push_back("ttyGONE9"); break;
            }
        }
        SearchOutcome outcomes[2];
        for (const bool atOnce : {false, true}) {
            EngineRun run;
            run.ProbeAtOnce = atOnce;
            const auto firmware = testing_support::SmallFirmware();
            if (c.QuorvanFirmware) {
                run.GiveFirmware(FirmwareFamily::QuorvanOtg,
                                 testing_support::FirmwareHex(FirmwareFamily::QuorvanOtg, firmware));
            }
            if (c.TarnovelleFirmware) {
                run.GiveFirmware(
                    FirmwareFamily::TarnovelleK7,
                    testing_support::FirmwareHex(FirmwareFamily::TarnovelleK7, firmware));
            }
            // A found device is let go at the first question, before anything is written.
            run.Owner.Answers = {false};
            run.Run(ports);
            SearchOutcome& outcome = outcomes[atOnce ? 1 : 0];
            outcome.Code = run.End().Value;
            outcome.Terminated = run.End().Terminated;
            const auto titles = run.Owner.Texts(EventKind::ShowTitle);
            outcome.Title = titles.empty() ? "" : titles.front();
            const auto positions = run.Owner.Values(EventKind::SetActionPosition);
            // The search's own steps: 0, then one per finished probe.
            outcome.Positions.assign(positions.begin(),
                                     positions.begin() + static_cast<long>(ports.size() + 1));
        }
        EXPECT_EQ(outcomes[0].Code, c.Code) << c.Name;
        EXPECT_EQ(outcomes[1].Code, outcomes[0].Code) << c.Name;
        EXPECT_EQ(outcomes[1].Terminated, outcomes[0].Terminated) << c.Name;
        EXPECT_EQ(outcomes[1].Title, outcomes[0].Title) << c.Name;
        EXPECT_EQ(outcomes[1].Positions, outcomes[0].Positions) << c.Name;
    }
}

// The prober on its own: types in list order whatever order the probes end in, and every
// progress call on the calling thread.
TEST_F(SearchModesTest, ProbesReportInListOrderOnTheCallingThread) {
    const std::vector<std::string> names = {tarnovelle_->PortName(), "ttyGONE9",
                                            refusing_->PortName(), quorvan_->PortName(),
                                            otherType_->PortName()};
    std::vector<std::size_t> steps;
    bool allOnCaller = true;
    const auto caller = std::this_thread::get_id();
    testing_support::SleepLog sleeps;
    const std::vector<PortProbe> probes = ProbePortsAtOnce(
        MakeRealCommandSet, names, WorkerConnectParams(), sleeps.Sleeper(),
        [&](std::size_t finished) {
            steps.push_back(finished);
            allOnCaller = allOnCaller && std::this_thread::get_id() == caller;
        });
    std::vector<int> types;
    for (const auto& probe : probes)
        types.push_back(probe.Type);
    EXPECT_EQ(types, (std::vector<int>{7, DEVICE_UNKNOWN, DEVICE_UNKNOWN, 9, 5}));
    EXPECT_EQ(steps, (std::vector<std::size_t>{1, 2, 3, 4, 5}));
    EXPECT_TRUE(allOnCaller);
}

}  // namespace
}  // namespace veltrin
