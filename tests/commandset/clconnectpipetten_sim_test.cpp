// Every command of the command set against the pipette simulator over a real pseudo-terminal,
// with the worker's connection settings, and injected faults reaching the caller as result
// codes and result texts.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "pipettesimulator.h"
#include "protocol/clconnectall.h"
#include "protocol/clconnectpipetten.h"
#include "transport/clconnectcomport.h"
#include "wiring/realtransports.h"

using namespace veltrin;
using Bytes = std::vector<std::uint8_t>;

namespace {

// The update worker's settings, with a short ACK wait so that a silent device fails quickly.
TSConnectParams WorkerParams(const std::string& port, std::uint16_t attempts) {
    TSConnectParams p;
    p.TxChecksum = kChecksumCrc16Arc;
    p.RxChecksum = kChecksumCrc16Arc;
    p.TxLengthBytes = 2;
    p.RxLengthBytes = 2;
    p.Attempts = attempts;
    p.StxCount = 1;
    p.PrefixDelay = 1;
    p.RetryDelay = 10;
    p.AckTimeout = 300;
    p.AnswerTimeout = 10000;
    std::strncpy(p.PortName, port.c_str(), sizeof(p.PortName) - 1);
    p.BaudRate = 230400;
    p.DataBits = 8;
    SetReservedDefaults(p);
    return p;
}

std::string Text31(const std::uint8_t* text) {
    return std::string(reinterpret_cast<const char*>(text),
                       strnlen(reinterpret_cast<const char*>(text), 31));
}

class SimulatorCommandTest : public ::testing::Test {
protected:
    void StartWith(SimOptions options, std::uint16_t attempts = 1) {
        options.RestartSilenceMs = 20;
        sim = std::make_unique<PipetteSimulator>(std::move(options));
        ASSERT_EQ(sim->Start(), 0);
        set = MakeRealCommandSet();
        set->SelectTransport(2);
        ASSERT_EQ(set->SetParams(WorkerParams(sim->PortName(), attempts)), 0);
        ASSERT_EQ(set->Open(), 0) << sim->PortName();
    }
    void TearDown() override {
        if (set)
            set->Close();
    }

    std::unique_ptr<PipetteSimulator> sim;
    std::unique_ptr<ClConnectPipetten> set;
};

}  // namespace

TEST_F(SimulatorCommandTest, IdentificationModeAndBattery) {
    SimOptions options;
    options.DeviceType = 10;
    options.Mode = 2;
    options.Battery = 16;
    StartWith(options);
    int value = -1;
    EXPECT_EQ(set->ReadDeviceId(&value), 0);
    EXPECT_EQ(value, 10);
    EXPECT_EQ(set->ReadDeviceMode(&value), 0);
    EXPECT_EQ(value, 2);
    EXPECT_EQ(set->ReadBatteryStatus(&value), 0);
    EXPECT_EQ(value, 16);
}

TEST_F(SimulatorCommandTest, ShortIdAnswerDeviceAndBatteryAboveSixteen) {
    SimOptions options;
    options.DeviceType = 1;
    options.Battery = 17;
    StartWith(options);
    int value = -1;
    EXPECT_EQ(set->ReadDeviceId(&value), 0);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(set->ReadBatteryStatus(&value), 0);
    EXPECT_EQ(value, 0);
}

TEST_F(SimulatorCommandTest, VersionAndInfoTexts) {
    SimOptions options;
    options.Version0 = "02.03.04";
    options.Version1 = "01.05.00";
    options.InfoText = "Sim info";
    StartWith(options);
    std::uint8_t text[kVersionTextSize];
    ASSERT_EQ(set->ReadVersionText(text, 0), 0);
    EXPECT_EQ(Text31(text), "02.03.04");
    ASSERT_EQ(set->ReadVersionText(text, 1), 0);
    EXPECT_EQ(Text31(text), "01.05.00");
    ASSERT_EQ(set->ReadInfoText(text), 0);
    EXPECT_EQ(Text31(text), "Sim info");
}

TEST_F(SimulatorCommandTest, RecordsReadModifyWrite) {
    SimOptions options;
    options.VariantId = 0x0130;
    StartWith(options);

    std::uint8_t device[kDeviceRecordSize];
    ASSERT_EQ(set->ReadDeviceRecord(device), 0);
    EXPECT_EQ(device[0] | (device[1] << 8), 0x0130);
    device[0] = 0x31;
    ASSERT_EQ(set->WriteDeviceRecord(device), 0);
    EXPECT_EQ(sim->State().DeviceRecordVariant(), 0x0131);

    std::uint8_t config[kConfigRecordSize];
    ASSERT_EQ(set->ReadConfigRecord(config), 0);
    EXPECT_EQ(config[0] | (config[1] << 8), 0x0130);
    config[0] = 0x32;
    ASSERT_EQ(set->WriteConfigRecord(config), 0);
    EXPECT_EQ(sim->State().ConfigRecordVariant(), 0x0132);

    std::uint8_t param[kParamRecordSize];
    ASSERT_EQ(set->ReadParamRecord(param), 0);
    EXPECT_EQ(param[0] | (param[1] << 8), 0x0130);
    param[0] = 0x33;
    ASSERT_EQ(set->WriteParamRecord(param), 0);
    EXPECT_EQ(sim->State().ParamRecordVariant(), 0x0133);

    std::uint8_t boot[kBootRecordSize];
    ASSERT_EQ(set->ReadBootRecord(boot), 0);
    const SimDeviceState before = sim->State();
    EXPECT_EQ(Bytes(boot, boot + 64), Bytes(before.BootRecord.begin(), before.BootRecord.end()));
    const std::uint32_t bootloader = kSimMarker5A;
    std::memcpy(boot + kAppStateOffset, &bootloader, 4);
    ASSERT_EQ(set->WriteBootRecord(boot), 0);
    EXPECT_EQ(sim->State().AppState(), kSimMarker5A);
    EXPECT_EQ(sim->State().RecordWrites.size(), 4u);
}

TEST_F(SimulatorCommandTest, UploadCommandsAndAFullBlock) {
    StartWith(SimOptions{});
    TSMemoryInfo info;
    ASSERT_EQ(set->ReadMemoryInfo(&info, MEM_EXT_FLASH), 0);
    EXPECT_EQ(info.LargestBlock, 4096);
    ASSERT_EQ(set->BeginUpload(), 0);
    ASSERT_EQ(set->SetApplicationSize(0x1234), 0);

    Bytes data(4200);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i * 13);
    TSMemoryBlock block;
    block.Address = 0x1000;
    block.Count = 4096;
    block.MemoryType = MEM_EXT_FLASH;
    ASSERT_EQ(set->WriteMemory(block, data.data(), static_cast<std::uint32_t>(data.size()), 100),
              0);
    EXPECT_EQ(sim->ReadMemory(MEM_EXT_FLASH, 0x1000, 4096),
              Bytes(data.begin() + 100, data.begin() + 4196));

    ASSERT_EQ(set->SetProgress(50), 0);
    ASSERT_EQ(set->SetProgress(100), 0);
    ASSERT_EQ(set->ShowUpdateSuccess(), 0);
    ASSERT_EQ(set->SignalUpdateFailed(), 0);
    const SimDeviceState state = sim->State();
    EXPECT_EQ(state.BeginUploads, 1u);
    EXPECT_EQ(state.ApplicationSizes, std::vector<std::uint32_t>{0x1234});
    EXPECT_EQ(state.Progress, (std::vector<std::uint16_t>{50, 100}));
    EXPECT_EQ(state.UpdateSuccessShown, 1u);
    EXPECT_EQ(state.UpdateFailedSignalled, 1u);
}

TEST_F(SimulatorCommandTest, MemoryWithoutInformationAnswersItsStatus) {
    SimOptions options;
    options.NoMemoryInfo = true;
    StartWith(options);
    TSMemoryInfo info;
    info.LargestBlock = 777;
    EXPECT_EQ(set->ReadMemoryInfo(&info, MEM_INT_FLASH), 0x60300A01);
    EXPECT_EQ(info.LargestBlock, 777);
    EXPECT_EQ(set->GetResultText(0x60300A01, true), "Error device: [0x0A01] - text not supported");
}

TEST_F(SimulatorCommandTest, RestartDevice) {
    StartWith(SimOptions{});
    ASSERT_EQ(set->RestartDevice(), 0);
    EXPECT_EQ(sim->State().Restarts, 1u);
}

namespace {

struct FaultCase {
    const char* name;
    SimFaultKind kind;
    std::uint32_t repeat;  // frames the failing exchange sends
    int expected;
    const char* text;  // GetResultText(expected, true)
};

class SimulatorFaultTest : public SimulatorCommandTest,
                           public ::testing::WithParamInterface<FaultCase> {};

}  // namespace

// The fault hits every frame of the exchange (a bad checksum is not retried: Transfer checks it
// after the transport's attempts); the caller sees the transport's code.
TEST_P(SimulatorFaultTest, ReachesTheCallerAsCodeAndText) {
    SimOptions options;
    SimFault fault;
    fault.Kind = GetParam().kind;
    fault.Command = CMD_READ_DEVICE_MODE;
    fault.Repeat = GetParam().repeat;
    options.Faults.push_back(fault);
    StartWith(options, 3);
    int mode = -7;
    EXPECT_EQ(set->ReadDeviceMode(&mode), GetParam().expected);
    EXPECT_EQ(mode, -7);
    EXPECT_EQ(set->GetResultText(GetParam().expected, true), GetParam().text);
    // The connection stays usable: the next exchange succeeds.
    EXPECT_EQ(set->ReadDeviceMode(&mode), 0);
    EXPECT_EQ(mode, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SimulatorFaultTest,
    ::testing::Values(FaultCase{"Nak", SimFaultKind::Nak, 3, 0x60200211,
                                "Error connect: [0x60200211] - Receive NACK."},
                      FaultCase{
                          "Garbage", SimFaultKind::Garbage, 3, 0x60200212,
                          "Error connect: [0x60200212] - Receive other character as ACK/NACK."},
                      FaultCase{"BadChecksum", SimFaultKind::BadChecksum, 1, 0x60200015,
                                "Error connect: [0x60200015] - Found invalid checksum."},
                      FaultCase{"Silence", SimFaultKind::Silence, 3, 0x60200210,
                                "Error connect: [0x60200210] - Timeout while receive ACK/NACK."}),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return info.param.name; });

TEST_F(SimulatorCommandTest, DeviceStatusIsNotRetriedAndHasItsText) {
    SimOptions options;
    SimFault fault;
    fault.Kind = SimFaultKind::Status;
    fault.Command = CMD_READ_BOOT_RECORD;
    fault.Status = 0x0103;
    options.Faults.push_back(fault);
    StartWith(options, 3);
    std::uint8_t boot[kBootRecordSize];
    std::memset(boot, 0xEE, sizeof boot);
    EXPECT_EQ(set->ReadBootRecord(boot), 0x60300103);
    for (std::uint8_t b : boot)
        ASSERT_EQ(b, 0xEE);
    EXPECT_EQ(sim->Requests().size(), 1u);
    EXPECT_EQ(set->GetResultText(0x60300103, false), "Error device: [0x0103] - text not supported");
}

TEST_F(SimulatorCommandTest, ASingleNakIsRetried) {
    SimOptions options;
    SimFault fault;
    fault.Kind = SimFaultKind::Nak;
    fault.Command = CMD_SET_PROGRESS;
    options.Faults.push_back(fault);
    StartWith(options, 3);
    EXPECT_EQ(set->SetProgress(7), 0);
    EXPECT_EQ(sim->Requests().size(), 2u);
    EXPECT_EQ(sim->State().Progress, std::vector<std::uint16_t>{7});
}

TEST_F(SimulatorCommandTest, UnpluggedDeviceGivesASystemErrorWithItsText) {
    SimOptions options;
    SimFault fault;
    fault.Kind = SimFaultKind::HangUp;
    fault.Command = CMD_READ_DEVICE_ID;
    options.Faults.push_back(fault);
    StartWith(options, 1);
    int type = -7;
    const int result = set->ReadDeviceId(&type);
    EXPECT_NE(result, 0);
    EXPECT_EQ(type, -7);
    const std::string text = set->GetResultText(result, true);
    if (IsConnectionError(result)) {
        EXPECT_EQ(text.rfind("Error connect: [0x", 0), 0u) << text;
    } else {
        EXPECT_EQ(text, "Error WIN: [" + std::to_string(result) + "] - " + strerrordesc_np(result))
            << text;
    }
}

TEST(SimulatorHolderTest, NewHolderListsTheSystemsSerialPorts) {
    const std::unique_ptr<ClConnectAll> holder = MakeRealTransports();
    std::vector<std::string> fromHolder;
    holder->GetPortList(fromHolder);
    ClConnectComport serial;
    std::vector<std::string> fromSystem;
    serial.GetPortList(fromSystem);
    EXPECT_EQ(fromHolder, fromSystem);
    holder->SelectTransport(1);
    std::vector<std::string> unchanged{"kept"};
    holder->GetPortList(unchanged);
    EXPECT_EQ(unchanged, std::vector<std::string>{"kept"});
}
