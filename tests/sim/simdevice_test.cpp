// The device's command handling without a line: answer layouts, refusals, boots.
#include <gtest/gtest.h>

#include "rawclient.h"
#include "simdevice.h"

using namespace veltrin;
using namespace veltrin::test;

namespace {

SimDevice MakeDevice(SimOptions options = {}) {
    SimDevice device;
    device.State = MakeInitialState(options);
    return device;
}

struct ReadCase {
    const char* Name;
    std::uint16_t Command;
    std::vector<std::uint8_t> Params;
    std::size_t AnswerLength;
    std::size_t ResultOffset;
    std::vector<std::uint8_t> (*Expected)(const SimDeviceState&);
};

template <std::size_t N>
std::vector<std::uint8_t> Bytes(const std::array<std::uint8_t, N>& a) {
    return std::vector<std::uint8_t>(a.begin(), a.end());
}

class ReadCommandTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadCommandTest, ResultsSitAtTheCommandsOffset) {
    const ReadCase& c = GetParam();
    SimDevice device = MakeDevice();
    const SimAnswer answer = ExecuteRequest(Request(c.Command, c.Params), device);
    ASSERT_EQ(answer.Message.size(), c.AnswerLength);
    EXPECT_EQ(Uint16At(answer.Message, 0), c.AnswerLength);
    EXPECT_EQ(Uint16At(answer.Message, 8), 0);
    const std::vector<std::uint8_t> expected = c.Expected(device.State);
    const std::vector<std::uint8_t> actual(
        answer.Message.begin() + static_cast<std::ptrdiff_t>(c.ResultOffset),
        answer.Message.begin() + static_cast<std::ptrdiff_t>(c.ResultOffset + expected.size()));
    EXPECT_EQ(actual, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ReadCommandTest,
    ::testing::Values(ReadCase{"DeviceId",
                               0x0001,
                               {},
                               12,
                               10,
                               [](const SimDeviceState&) {
                                   return std::vector<std::uint8_t>{9, 0};
                               }},
                      ReadCase{"DeviceMode",
                               0x0002,
                               {},
                               12,
                               10,
                               [](const SimDeviceState&) {
                                   return std::vector<std::uint8_t>{1, 0};
                               }},
                      ReadCase{"Battery",
                               0x0003,
                               {},
                               12,
                               10,
                               [](const SimDeviceState&) {
                                   return std::vector<std::uint8_t>{3, 0};
                               }},
                      ReadCase{"Version0",
                               0x0007,
                               {0, 0},
                               43,
                               12,
                               [](const SimDeviceState& s) { return Bytes(s.VersionText0); }},
                      ReadCase{"Version1",
                               0x0007,
                               {1, 0},
                               43,
                               12,
                               [](const SimDeviceState& s) { return Bytes(s.VersionText1); }},
                      ReadCase{"DeviceRecord",
                               0x0052,
                               {},
                               92,
                               10,
                               [](const SimDeviceState& s) { return Bytes(s.DeviceRecord); }},
                      ReadCase{"ParamRecord",
                               0x0082,
                               {},
                               348,
                               10,
                               [](const SimDeviceState& s) { return Bytes(s.ParamRecord); }},
                      ReadCase{"BootRecord",
                               0x00A0,
                               {},
                               76,
                               12,
                               [](const SimDeviceState& s) { return Bytes(s.BootRecord); }},
                      ReadCase{"ConfigRecord",
                               0x0120,
                               {},
                               160,
                               16,
                               [](const SimDeviceState& s) { return Bytes(s.ConfigRecord); }},
                      ReadCase{"InfoText",
                               0x0200,
                               {},
                               41,
                               10,
                               [](const SimDeviceState& s) { return Bytes(s.InfoText); }},
                      ReadCase{"MemoryInfo",
                               0x0201,
                               {1, 0},
                               28,
                               22,
                               [](const SimDeviceState&) {  // largest block 4096, memory type 1
                                   return std::vector<std::uint8_t>{0x00, 0x10, 0x01, 0x00};
                               }}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(SimDeviceTest, RecordsStartWithTheVariantId) {
    SimOptions options;
    options.VariantId = 0x1228;
    const SimDeviceState state = MakeInitialState(options);
    EXPECT_EQ(state.DeviceRecordVariant(), 0x1228);
    EXPECT_EQ(state.ConfigRecordVariant(), 0x1228);
    EXPECT_EQ(state.ParamRecordVariant(), 0x1228);
    EXPECT_EQ(TextOf(state.VersionText0), "01.00.00");
    EXPECT_EQ(state.VersionText0[8], 0);
    EXPECT_EQ(state.BootState(), kSimMarkerA5);
}

struct RefusalCase {
    const char* Name;
    std::vector<std::uint8_t> Request;
    std::uint16_t Status;
};

std::vector<std::uint8_t> WithLengthField(std::vector<std::uint8_t> message, std::uint16_t length) {
    message[0] = static_cast<std::uint8_t>(length & 0xFF);
    message[1] = static_cast<std::uint8_t>(length >> 8);
    return message;
}

std::vector<std::uint8_t> Block(std::uint32_t address, std::uint16_t count, std::uint16_t type,
                                std::size_t dataBytes) {
    std::vector<std::uint8_t> params = {0, 0};
    AppendUint32(params, address);
    AppendUint16(params, count);
    AppendUint16(params, type);
    params.resize(params.size() + dataBytes, 0xAB);
    return Request(0x0202, params);
}

class RefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(RefusalTest, AnsweredWithAStatusAndNothingChanges) {
    SimDevice device = MakeDevice();
    const SimDeviceState before = device.State;
    const SimAnswer answer = ExecuteRequest(GetParam().Request, device);
    EXPECT_EQ(answer.Status, GetParam().Status);
    ASSERT_EQ(answer.Message.size(), 10u);
    EXPECT_EQ(Uint16At(answer.Message, 8), GetParam().Status);
    EXPECT_TRUE(device.Blocks.empty());
    EXPECT_TRUE(device.State.RecordWrites.empty());
    EXPECT_EQ(device.State.BootRecord, before.BootRecord);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, RefusalTest,
    ::testing::Values(
        RefusalCase{"UnknownCommand", Request(0x0099), kSimStatusUnknownCommand},
        RefusalCase{"ShortMessage", {5, 0, 0, 0, 1}, kSimStatusBadLength},
        RefusalCase{"LengthFieldDiffers", WithLengthField(Request(0x0002), 12),
                    kSimStatusBadLength},
        RefusalCase{"ReadWithParams", Request(0x0002, {1, 2}), kSimStatusBadLength},
        RefusalCase{"ShortBootRecord", Request(0x00A1, std::vector<std::uint8_t>(60)),
                    kSimStatusBadLength},
        RefusalCase{"VersionIndex2", Request(0x0007, {2, 0}), kSimStatusBadParameter},
        RefusalCase{"MemoryInfoType4", Request(0x0201, {4, 0}), kSimStatusBadParameter},
        RefusalCase{"BlockCountDiffers", Block(0, 16, 1, 15), kSimStatusBadLength},
        RefusalCase{"BlockOfZero", Block(0, 0, 1, 0), kSimStatusBadParameter},
        RefusalCase{"BlockTooLarge", Block(0, 4097, 1, 4097), kSimStatusBadParameter},
        RefusalCase{"BlockMemoryType4", Block(0, 16, 4, 16), kSimStatusBadParameter},
        RefusalCase{"BlockPastFourGiB", Block(0xFFFFFFF8, 16, 1, 16), kSimStatusBadParameter}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(SimDeviceTest, MemoryInfoCanBeAbsentOrZero) {
    SimOptions options;
    options.NoMemoryInfo = true;
    SimDevice device = MakeDevice(options);
    EXPECT_EQ(ExecuteRequest(Request(0x0201, {0, 0}), device).Status, kSimStatusNoMemoryInfo);
    options.NoMemoryInfo = false;
    options.LargestBlock = 0;
    device = MakeDevice(options);
    const SimAnswer answer = ExecuteRequest(Request(0x0201, {0, 0}), device);
    EXPECT_EQ(answer.Status, 0);
    EXPECT_EQ(Uint16At(answer.Message, 22), 0);
}

TEST(SimDeviceTest, UploadAnnouncementsAreCounted) {
    SimDevice device = MakeDevice();
    ExecuteRequest(Request(0x0204), device);
    ExecuteRequest(Request(0x0207, {0, 0}), device);
    ExecuteRequest(Request(0x0207, {40, 0}), device);
    ExecuteRequest(Request(0x020A, {0, 0, 0x00, 0xFE, 0x0E, 0x00}), device);
    ExecuteRequest(Request(0x0206), device);
    ExecuteRequest(Request(0x0205), device);
    EXPECT_EQ(device.State.BeginUploads, 1u);
    EXPECT_EQ(device.State.Progress, (std::vector<std::uint16_t>{0, 40}));
    EXPECT_EQ(device.State.ApplicationSizes, (std::vector<std::uint32_t>{0x000EFE00}));
    EXPECT_EQ(device.State.UpdateFailedSignalled, 1u);
    EXPECT_EQ(device.State.UpdateSuccessShown, 1u);
}

struct BootCase {
    const char* Name;
    std::uint32_t AppState;
    bool ApplicationComplete;
    int Mode;
};

class BootModeTest : public ::testing::TestWithParam<BootCase> {};

TEST_P(BootModeTest, BootRecordAndApplicationChooseTheMode) {
    SimDevice device = MakeDevice();
    device.State.SetAppState(GetParam().AppState);
    device.State.ApplicationComplete = GetParam().ApplicationComplete;
    BootDevice(device);
    EXPECT_EQ(device.State.Mode, GetParam().Mode);
}

INSTANTIATE_TEST_SUITE_P(States, BootModeTest,
                         ::testing::Values(BootCase{"StartApplication", 0xA5A5A5A5, true, 1},
                                           BootCase{"StayInBootloader", 0x5A5A5A5A, true, 2},
                                           BootCase{"ApplicationBrokenOff", 0xA5A5A5A5, false, 2},
                                           BootCase{"ErasedBootRecord", 0xFFFFFFFF, true, 2}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(SimDeviceTest, InterruptedApplicationUploadKeepsTheBootloaderUntilSuccess) {
    SimDevice device = MakeDevice();
    ExecuteRequest(Request(0x020A, {0, 0, 0, 0x10, 0, 0}), device);
    ExecuteRequest(Block(0x08010000, 16, 0, 16), device);
    BootDevice(device);
    EXPECT_EQ(device.State.Mode, 2);
    ExecuteRequest(Request(0x0205), device);
    BootDevice(device);
    EXPECT_EQ(device.State.Mode, 1);
}

TEST(SimDeviceTest, ApplicationReportsTheVersionBlockItWasWrittenWith) {
    SimDevice device = MakeDevice();
    const SimText block = MakeVersionBlock("02.05.01", "Application", "20250101");
    std::vector<std::uint8_t> params = {0, 0};
    AppendUint32(params, kSimAppVersionAddress);
    AppendUint16(params, 31);
    AppendUint16(params, 0);
    params.insert(params.end(), block.begin(), block.end());
    ExecuteRequest(Request(0x0202, params), device);
    ExecuteRequest(Request(0x0205), device);
    BootDevice(device);
    EXPECT_EQ(TextOf(device.State.VersionText0), "02.05.01");
}

}  // namespace
