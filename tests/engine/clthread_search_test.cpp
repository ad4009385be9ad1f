// The device search over several ports: simulators, a silent device and ports that are gone.
#include <gtest/gtest.h>

#include <memory>

#include "connectedworker.h"
#include "engine/updateresult.h"
#include "simharness.h"
#include "support/portalias.h"

namespace veltrin {
namespace {

using testing_support::EngineRun;
using testing_support::EventKind;

std::unique_ptr<PipetteSimulator> StartSim(SimOptions options) {
    auto sim = std::make_unique<PipetteSimulator>(std::move(options));
    EXPECT_EQ(sim->Start(), 0);
    return sim;
}

// A device that never answers: every probe costs the full acknowledge time-outs.
SimOptions SilentDevice() {
    SimOptions options = testing_support::FastSim(9, 1);
    SimFault silence;
    silence.Kind = SimFaultKind::Silence;
    silence.Repeat = 0;
    options.Faults = {silence};
    return options;
}

// A device that refuses every frame.
SimOptions RefusingDevice() {
    SimOptions options = testing_support::FastSim(6, 1);
    SimFault nak;
    nak.Kind = SimFaultKind::Nak;
    nak.Repeat = 0;
    options.Faults = {nak};
    return options;
}

std::string Firmware(FirmwareFamily family) {
    return testing_support::FirmwareHex(family, testing_support::SmallFirmware());
}

// The search found one device when the run reaches the sequence; a No to the first question
// ends it there.
void StopAtTheFirstQuestion(EngineRun& run) {
    run.Owner.Answers = {false};
}

TEST(SearchDeviceTest, OnePipetteBesideARefusingDeviceAndAVanishedPort) {
    auto pipette = StartSim(testing_support::FastSim(10, 1));
    auto refusing = StartSim(RefusingDevice());
    EngineRun run;
    run.GiveFirmware(FirmwareFamily::QuorvanOtg, Firmware(FirmwareFamily::QuorvanOtg));
    StopAtTheFirstQuestion(run);
    run.Run({pipette->PortName(), refusing->PortName(), "ttyGONE9"});

    ASSERT_FALSE(run.Owner.Values(EventKind::SetActionMax).empty());
    EXPECT_EQ(run.Owner.Values(EventKind::SetActionMax).front(), 3);
    const auto positions = run.Owner.Values(EventKind::SetActionPosition);
    ASSERT_GE(positions.size(), 4u);
    EXPECT_EQ(std::vector<std::int32_t>(positions.begin(), positions.begin() + 4),
              (std::vector<std::int32_t>{0, 1, 2, 3}));
    EXPECT_EQ(run.Owner.Texts(EventKind::ShowAction).front(), "Search available devices ...");
    EXPECT_EQ(run.Owner.Texts(EventKind::ShowTitle).front(), "Update Quorvan/plus ...");
    EXPECT_EQ(run.End().Value, kUpdateOk);
    EXPECT_TRUE(run.End().Terminated);
}

TEST(SearchDeviceTest, NoFirmwareForTheOnePipetteFoundBesideASilentDevice) {
    auto pipette = StartSim(testing_support::FastSim(9, 1));
    auto silent = StartSim(SilentDevice());
    EngineRun run;
    // Only dispensing-pipette firmware, and a blank version for the electronic one.
    run.GiveFirmware(FirmwareFamily::TarnovelleK7, Firmware(FirmwareFamily::TarnovelleK7));
    run.Owner.VersionQuorvanOtg = "   ";
    run.Run({pipette->PortName(), silent->PortName()});

    EXPECT_EQ(run.End().Value, kUpdateNoQuorvanOtgFirmware);
    EXPECT_FALSE(run.End().Terminated);
    EXPECT_EQ(run.End().Text, "");
    EXPECT_TRUE(run.Owner.Texts(EventKind::ShowTitle).empty());
    // The silent device was asked, with the worker's attempts, after the pipette was found.
    EXPECT_EQ(silent->Requests().size(), 3u);
    EXPECT_EQ(pipette->Requests().size(), 1u);
}

TEST(SearchDeviceTest, NoFirmwareForADispensingPipette) {
    auto pipette = StartSim(testing_support::FastSim(7, 1));
    EngineRun run;
    run.GiveFirmware(FirmwareFamily::QuorvanOtg, Firmware(FirmwareFamily::QuorvanOtg));
    run.Run({pipette->PortName()});
    EXPECT_EQ(run.End().Value, kUpdateNoTarnovelleK7Firmware);
}

TEST(SearchDeviceTest, UnsupportedDevicesAreNotCounted) {
    auto otherType = StartSim(testing_support::FastSim(5, 1));
    auto shortId = StartSim(testing_support::FastSim(1, 1));
    auto pipette = StartSim(testing_support::FastSim(6, 1));
    EngineRun run;
    run.GiveFirmware(FirmwareFamily::TarnovelleK7, Firmware(FirmwareFamily::TarnovelleK7));
    StopAtTheFirstQuestion(run);
    run.Run({otherType->PortName(), shortId->PortName(), pipette->PortName()});
    EXPECT_EQ(run.End().Value, kUpdateOk);
    EXPECT_EQ(run.Owner.Texts(EventKind::ShowTitle).front(), "Update Tarnovelle K7/K7x ...");
    EXPECT_EQ(otherType->Requests().size(), 1u);
}

TEST(SearchDeviceTest, TwoSupportedPipettesAreOneTooMany) {
    auto first = StartSim(testing_support::FastSim(9, 1));
    auto second = StartSim(testing_support::FastSim(6, 2));
    EngineRun run;
    run.GiveFirmware(FirmwareFamily::QuorvanOtg, Firmware(FirmwareFamily::QuorvanOtg));
    run.GiveFirmware(FirmwareFamily::TarnovelleK7, Firmware(FirmwareFamily::TarnovelleK7));
    run.Run({first->PortName(), second->PortName()});
    EXPECT_EQ(run.End().Value, kUpdateSeveralDevices);
    EXPECT_EQ(run.End().Text, "");
    EXPECT_TRUE(run.Owner.Texts(EventKind::ShowTitle).empty());
    // Neither was touched beyond its device id.
    EXPECT_EQ(first->Requests().size(), 1u);
    EXPECT_EQ(second->Requests().size(), 1u);
}

TEST(SearchDeviceTest, PortNamesAreTrimmedBeforeTheyAreProbed) {
    auto pipette = StartSim(testing_support::FastSim(6, 1));
    EngineRun run;
    run.GiveFirmware(FirmwareFamily::TarnovelleK7, Firmware(FirmwareFamily::TarnovelleK7));
    StopAtTheFirstQuestion(run);
    run.Run({" \t" + pipette->PortName() + "\r\n "});
    EXPECT_EQ(run.End().Value, kUpdateOk);
    EXPECT_EQ(run.Owner.Texts(EventKind::ShowTitle).front(), "Update Tarnovelle K7/K7x ...");
}

// A lab PC with many USB devices lists ports such as ttyACM10; a pipette there must be found
// under that very name.
TEST(SearchDeviceTest, APipetteOnAPortWithALongNameIsFound) {
    auto pipette = StartSim(testing_support::FastSim(6, 1));
    const testsupport::PortAlias alias(pipette->PortName(), "ttyACM10");
    if (!alias.Ok())
        GTEST_SKIP() << "no writable /dev/shm for a port alias";
    EngineRun run;
    run.GiveFirmware(FirmwareFamily::TarnovelleK7, Firmware(FirmwareFamily::TarnovelleK7));
    StopAtTheFirstQuestion(run);
    run.Run({"ttyGONE10", alias.Name()});
    EXPECT_EQ(run.End().Value, kUpdateOk) << alias.Name();
    EXPECT_EQ(run.Owner.Texts(EventKind::ShowTitle).front(), "Update Tarnovelle K7/K7x ...");
}

TEST(SelectPortTest, TheConnectionGetsTheTrimmedNameWholeOrNone) {
    auto pipette = StartSim(testing_support::FastSim(6, 1));
    testing_support::ConnectedWorker w(*pipette);
    const struct {
        const char* Given;
        const char* Selected;
    } cases[] = {
        {"  ttyACM0  ", "ttyACM0"},
        {"ttyUSB10", "ttyUSB10"},
        {"\tpts/3\n", "pts/3"},
        {"", ""},
        // Cut to fit, the name could be another port's; it is not selected at all.
        {"ttyACM0123456789012345678901234567890123456789012345678901234567", ""},
        {" ttyACM012345678901234567890123456789012345678901234567890123456 ",
         "ttyACM012345678901234567890123456789012345678901234567890123456"}};
    for (const auto& c : cases) {
        w.Worker->SelectPort(c.Given);
        TSConnectParams params;
        w.Device->Connection().GetParams(params);
        EXPECT_STREQ(params.PortName, c.Selected) << c.Given;
        // Everything else stays as the worker configured it.
        EXPECT_EQ(params.BaudRate, 230400u);
        EXPECT_EQ(params.AckTimeout, 3000u);
        EXPECT_EQ(params.Attempts, 3);
    }
}

TEST(ConfigureConnectionTest, EveryPortIsProbedWithThePipettesLineSettings) {
    auto pipette = StartSim(testing_support::FastSim(6, 1));
    testing_support::ConnectedWorker w(*pipette);
    TSConnectParams p;
    w.Device->Connection().GetParams(p);
    EXPECT_EQ(p.TxChecksum, 0x0201);
    EXPECT_EQ(p.RxChecksum, 0x0201);
    EXPECT_EQ(p.TxLengthBytes, 2);
    EXPECT_EQ(p.RxLengthBytes, 2);
    EXPECT_EQ(p.Attempts, 3);
    EXPECT_EQ(p.StxCount, 1);
    EXPECT_EQ(p.PrefixDelay, 1);
    EXPECT_EQ(p.RetryDelay, 10);
    EXPECT_EQ(p.AckTimeout, 3000u);
    EXPECT_EQ(p.AnswerTimeout, 10000u);
    EXPECT_EQ(p.TraceFile, nullptr);
    EXPECT_EQ(p.IrdaSendTimeout + p.IrdaReceiveTimeout + p.IrdaAnswerDelay, 0u);
    EXPECT_EQ(p.BaudRate, 230400u);
    EXPECT_EQ(p.DataBits, 8);
    EXPECT_EQ(p.StopBits, 0u);
    EXPECT_EQ(p.Parity, 0u);
    EXPECT_EQ(p.Reserved1, 0u);
    EXPECT_EQ(p.Reserved2, 0);
    EXPECT_EQ(p.Reserved3, 0);
    EXPECT_EQ(p.Reserved4, 1u);
    EXPECT_EQ(p.Reserved5, 1u);
    EXPECT_EQ(p.Reserved6, 10u);
    EXPECT_EQ(p.Reserved7, 0u);
    EXPECT_EQ(p.Reserved8, 0u);
}

}  // namespace
}  // namespace veltrin
