// The simulator through a real pseudo-terminal: framing, answers, restarts.
#include <gtest/gtest.h>

#include <cstdio>

#include "pipettesimulator.h"
#include "protocol/clconnect.h"
#include "rawclient.h"
#include "simframe.h"

using namespace veltrin;
using namespace veltrin::test;

namespace {

SimOptions FastOptions() {
    SimOptions options;
    options.RestartSilenceMs = 50;
    return options;
}

// Expected answer frame, built here by hand (prefix, hex, CRC least significant byte first).
std::string HandFrame(const std::vector<std::uint8_t>& message) {
    std::string text;
    char pair[3];
    for (std::uint8_t byte : message) {
        std::snprintf(pair, sizeof pair, "%02X", byte);
        text += pair;
    }
    const auto n = static_cast<std::uint32_t>(message.size());
    const std::uint16_t crc = ClConnect::Crc16(0, message.data(), n, n);
    char tail[5];
    std::snprintf(tail, sizeof tail, "%02X%02X", crc & 0xFF, crc >> 8);
    text += tail;
    char prefix[5];
    std::snprintf(prefix, sizeof prefix, "%02X%02X", static_cast<unsigned>(text.size() & 0xFF),
                  static_cast<unsigned>(text.size() >> 8));
    return "\x02" + std::string(prefix) + text + "\x03";
}

class SimulatorLinkTest : public ::testing::Test {
protected:
    void StartWith(SimOptions options) {
        sim_ = std::make_unique<PipetteSimulator>(std::move(options));
        ASSERT_EQ(sim_->Start(), 0);
        client_ = std::make_unique<RawClient>(sim_->DevicePath());
        ASSERT_TRUE(client_->IsOpen()) << sim_->DevicePath();
    }
    std::unique_ptr<PipetteSimulator> sim_;
    std::unique_ptr<RawClient> client_;
};

TEST_F(SimulatorLinkTest, PortNameIsTheSlavePathAfterDev) {
    StartWith(FastOptions());
    EXPECT_EQ(sim_->PortName().rfind("pts/", 0), 0u) << sim_->PortName();
    EXPECT_EQ(sim_->DevicePath(), "/dev/" + sim_->PortName());
    EXPECT_TRUE(sim_->State().Plugged);
}

TEST_F(SimulatorLinkTest, AnswersAckThenTheExactAnswerFrame) {
    StartWith(FastOptions());
    // The worked request: ReadDeviceMode, prefix 1800, CRC 0xC221.
    const RawClient::Reply reply = client_->ExchangeRaw(
        "\x02"
        "18000A00000002000000000021C2\x03");
    ASSERT_EQ(reply.First, kSimAck);
    EXPECT_EQ(reply.Frame, HandFrame({0x0C, 0, 0, 0, 0x02, 0, 0, 0, 0, 0, 0x01, 0x00}));
}

TEST_F(SimulatorLinkTest, AcceptsSeveralStxAndNoiseBeforeTheFrame) {
    StartWith(FastOptions());
    const std::string frame = EncodeRequestFrame(Request(0x0003));
    const RawClient::Reply reply = client_->ExchangeRaw("\x7F\x03\x02\x02" + frame);
    ASSERT_EQ(reply.First, kSimAck);
    ASSERT_TRUE(reply.FrameOk);
    EXPECT_EQ(Uint16At(reply.Message, 10), 3);
}

struct BadFrameCase {
    const char* Name;
    std::string Bytes;
};

class SimulatorBadFrameTest : public SimulatorLinkTest,
                              public ::testing::WithParamInterface<BadFrameCase> {};

TEST_P(SimulatorBadFrameTest, RefusedWithNakAndLogged) {
    StartWith(FastOptions());
    const RawClient::Reply reply = client_->ExchangeRaw(GetParam().Bytes);
    EXPECT_EQ(reply.First, kSimNak);
    ASSERT_TRUE(sim_->WaitForRequests(1, 2s));
    EXPECT_EQ(sim_->Requests()[0].Outcome, SimOutcome::BadFrame);
    // The device is still in step: the next good frame is answered.
    EXPECT_EQ(client_->Exchange(Request(0x0002)).First, kSimAck);
}

INSTANTIATE_TEST_SUITE_P(Frames, SimulatorBadFrameTest,
                         ::testing::Values(BadFrameCase{"WrongChecksum",
                                                        "\x02"
                                                        "18000A00000002000000000021C3\x03"},
                                           BadFrameCase{"PrefixTooSmall",
                                                        "\x02"
                                                        "17000A00000002000000000021C2\x03"},
                                           BadFrameCase{"NoPrefix",
                                                        "\x02"
                                                        "0A00000002000000000021C2\x03"},
                                           BadFrameCase{"NotHex",
                                                        "\x02"
                                                        "18000A0000000200000000002XC2\x03"},
                                           BadFrameCase{"Empty", "\x02\x03"}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(SimulatorLinkTest, TypeOneDeviceAnswersTheShortIdMessage) {
    SimOptions options = FastOptions();
    options.DeviceType = 1;
    StartWith(options);
    const RawClient::Reply reply = client_->Exchange(Request(0x0001, {}, 0xFF));
    ASSERT_EQ(reply.First, kSimAck);
    EXPECT_EQ(reply.Frame, HandFrame({0x05, 0x00, 0x00, 0xFF, 0xC0}));
}

TEST_F(SimulatorLinkTest, ReadDeviceIdGivesTheConfiguredType) {
    SimOptions options = FastOptions();
    options.DeviceType = 6;
    StartWith(options);
    const RawClient::Reply reply = client_->Exchange(Request(0x0001, {}, 0xFF));
    ASSERT_TRUE(reply.FrameOk);
    EXPECT_EQ(reply.Message.size(), 12u);
    EXPECT_EQ(Uint16At(reply.Message, 8), 0);
    EXPECT_EQ(Uint16At(reply.Message, 10), 6);
}

TEST_F(SimulatorLinkTest, BootRecordRoundTrip) {
    StartWith(FastOptions());
    RawClient::Reply read = client_->Exchange(Request(0x00A0));
    ASSERT_TRUE(read.FrameOk);
    ASSERT_EQ(read.Message.size(), 76u);
    std::vector<std::uint8_t> record(read.Message.begin() + 12, read.Message.end());
    EXPECT_EQ(Uint32At(record, 56), 0xA5A5A5A5u);  // AppState: start the application
    record[56] = record[57] = record[58] = record[59] = 0x5A;

    std::vector<std::uint8_t> params = {0, 0};
    params.insert(params.end(), record.begin(), record.end());
    const RawClient::Reply write = client_->Exchange(Request(0x00A1, params));
    ASSERT_TRUE(write.FrameOk);
    EXPECT_EQ(Uint16At(write.Message, 8), 0);

    read = client_->Exchange(Request(0x00A0));
    ASSERT_TRUE(read.FrameOk);
    EXPECT_EQ(std::vector<std::uint8_t>(read.Message.begin() + 12, read.Message.end()), record);
    EXPECT_EQ(sim_->State().AppState(), 0x5A5A5A5Au);
    ASSERT_EQ(sim_->State().RecordWrites.size(), 1u);
    EXPECT_EQ(sim_->State().RecordWrites[0].Command, 0x00A1);
}

TEST_F(SimulatorLinkTest, WriteMemoryIsRecordedAndStored) {
    StartWith(FastOptions());
    std::vector<std::uint8_t> data(4096);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i * 13 + 1);
    std::vector<std::uint8_t> params = {0xEE, 0xEE};
    AppendUint32(params, 0x00700080);
    AppendUint16(params, static_cast<std::uint16_t>(data.size()));
    AppendUint16(params, 1);
    params.insert(params.end(), data.begin(), data.end());
    const RawClient::Reply reply = client_->Exchange(Request(0x0202, params));
    ASSERT_TRUE(reply.FrameOk);
    EXPECT_EQ(Uint16At(reply.Message, 8), 0);

    const std::vector<SimWrittenBlock> blocks = sim_->WrittenBlocks();
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].Address, 0x00700080u);
    EXPECT_EQ(blocks[0].Count, 4096);
    EXPECT_EQ(blocks[0].MemoryType, 1);
    EXPECT_EQ(blocks[0].Data, data);
    EXPECT_EQ(sim_->ReadMemory(1, 0x00700080, 4096), data);
    EXPECT_EQ(sim_->Memory(1).WrittenByteCount(), 4096u);
    EXPECT_TRUE(sim_->Memory(0).Empty());
    const SimRequest request = sim_->Requests().at(0);
    EXPECT_EQ(request.Command, 0x0202);
    EXPECT_EQ(request.Length, 4116u);
    EXPECT_EQ(request.Head[10], 0xEE);  // what the host left in bytes 10-11
}

TEST_F(SimulatorLinkTest, RestartIsSilentThenBootsIntoTheModeAppStateChooses) {
    SimOptions options = FastOptions();
    options.RestartSilenceMs = 60000;  // long enough that the silence cannot end in this test
    StartWith(options);
    sim_->EditState([](SimDeviceState& state) { state.SetAppState(kSimMarker5A); });
    RawClient::Reply reply = client_->Exchange(Request(0x0016));
    ASSERT_TRUE(reply.FrameOk);
    EXPECT_TRUE(sim_->State().Restarting);
    reply = client_->Exchange(Request(0x0002), 200ms);
    EXPECT_EQ(reply.First, -1);  // no ACK while restarting
    EXPECT_EQ(sim_->Requests().size(), 1u);
}

TEST_F(SimulatorLinkTest, AfterTheSilenceTheDeviceAnswersInItsNewMode) {
    StartWith(FastOptions());
    sim_->EditState([](SimDeviceState& state) { state.SetAppState(kSimMarker5A); });
    ASSERT_TRUE(client_->Exchange(Request(0x0016)).FrameOk);
    ASSERT_TRUE(sim_->WaitForState([](const SimDeviceState& s) { return !s.Restarting; }, 5s));
    const RawClient::Reply reply = client_->Exchange(Request(0x0002));
    ASSERT_TRUE(reply.FrameOk);
    EXPECT_EQ(Uint16At(reply.Message, 10), 2);
    const SimDeviceState state = sim_->State();
    EXPECT_EQ(state.Restarts, 1u);
    EXPECT_EQ(state.Boots, 1u);

    // And back into the application.
    sim_->EditState([](SimDeviceState& s) { s.SetAppState(kSimMarkerA5); });
    ASSERT_TRUE(client_->Exchange(Request(0x0016)).FrameOk);
    ASSERT_TRUE(sim_->WaitForState([](const SimDeviceState& s) { return s.Boots == 2; }, 5s));
    EXPECT_EQ(Uint16At(client_->Exchange(Request(0x0002)).Message, 10), 1);
}

TEST_F(SimulatorLinkTest, ThrottledLineStillCarriesAFullBlock) {
    SimOptions options = FastOptions();
    options.BaudRate = 921600;
    options.FlashWriteMs = 5;
    StartWith(options);
    std::vector<std::uint8_t> params = {0, 0};
    AppendUint32(params, 0x08010000);
    AppendUint16(params, 4096);
    AppendUint16(params, 0);
    params.resize(params.size() + 4096, 0x5A);
    const RawClient::Reply reply = client_->Exchange(Request(0x0202, params));
    ASSERT_TRUE(reply.FrameOk);
    EXPECT_EQ(sim_->Memory(0).WrittenByteCount(), 4096u);
}

TEST_F(SimulatorLinkTest, StopEndsPromptlyWithAHostAttached) {
    StartWith(FastOptions());
    ASSERT_TRUE(client_->Exchange(Request(0x0002)).FrameOk);
    sim_->Stop();
    EXPECT_FALSE(sim_->State().Plugged);
    EXPECT_EQ(client_->ReadByte(1000ms), -2);  // the host sees the line go away
    EXPECT_EQ(sim_->Requests().size(), 1u);    // logs survive a stop
}

}  // namespace
