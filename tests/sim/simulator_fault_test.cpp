// Injected faults and unplugging, seen from the host end of the pty.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "pipettesimulator.h"
#include "pseudoterminal.h"
#include "rawclient.h"
#include "simframe.h"

using namespace veltrin;
using namespace veltrin::test;

namespace {

std::vector<std::uint8_t> BlockRequest(std::uint32_t address, std::uint16_t type) {
    std::vector<std::uint8_t> params = {0, 0};
    AppendUint32(params, address);
    AppendUint16(params, 16);
    AppendUint16(params, type);
    params.resize(params.size() + 16, static_cast<std::uint8_t>(address));
    return Request(0x0202, params);
}

struct Started {
    explicit Started(SimOptions options) : sim(std::move(options)) {
        start = sim.Start();
        client = std::make_unique<RawClient>(sim.DevicePath());
    }
    PipetteSimulator sim;
    int start = -1;
    std::unique_ptr<RawClient> client;
};

SimOptions WithFault(SimFault fault) {
    SimOptions options;
    options.RestartSilenceMs = 20;
    options.Faults.push_back(fault);
    return options;
}

// What the host sees for the hit exchange: the first byte and whether an intact answer follows.
struct FaultCase {
    const char* Name;
    SimFault Fault;
    int First;          // -1: nothing within the wait
    bool AnswerFrame;   // a frame followed the ACK
    bool AnswerIntact;  // and its checksum was right
    std::uint16_t Status;
    SimOutcome Outcome;
};

class FaultKindTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(FaultKindTest, SecondExchangeIsHitAndTheThirdIsNormal) {
    const FaultCase& c = GetParam();
    SimFault fault = c.Fault;
    fault.Occurrence = 2;
    Started s(WithFault(fault));
    ASSERT_EQ(s.start, 0);

    EXPECT_TRUE(s.client->Exchange(Request(0x0002)).FrameOk);
    const RawClient::Reply hit = s.client->Exchange(Request(0x0003), 300ms);
    EXPECT_EQ(hit.First, c.First);
    EXPECT_EQ(!hit.Frame.empty(), c.AnswerFrame);
    EXPECT_EQ(hit.FrameOk, c.AnswerIntact);
    if (c.AnswerFrame && c.AnswerIntact) {
        EXPECT_EQ(Uint16At(hit.Message, 8), c.Status);
    }
    if (c.First != kSimAck) {
        EXPECT_EQ(s.client->ReadByte(50ms), -1) << "nothing may follow the refusal";
    }
    const RawClient::Reply after = s.client->Exchange(Request(0x0002));
    EXPECT_TRUE(after.FrameOk);

    ASSERT_TRUE(s.sim.WaitForRequests(3, 2s));
    const std::vector<SimRequest> log = s.sim.Requests();
    EXPECT_EQ(log[1].Outcome, c.Outcome);
    EXPECT_EQ(log[1].Command, 0x0003);
    EXPECT_EQ(log[2].Outcome, SimOutcome::Answered);
}

SimFault Kind(SimFaultKind kind, std::uint16_t status = 0x0103, std::uint32_t length = 10) {
    SimFault fault;
    fault.Kind = kind;
    fault.Status = status;
    fault.Length = kind == SimFaultKind::Unterminated ? 0 : length;
    return fault;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, FaultKindTest,
    ::testing::Values(
        FaultCase{"Nak", Kind(SimFaultKind::Nak), kSimNak, false, false, 0, SimOutcome::Nak},
        FaultCase{"Garbage", Kind(SimFaultKind::Garbage), 0x3F, false, false, 0,
                  SimOutcome::Garbage},
        FaultCase{"BadChecksum", Kind(SimFaultKind::BadChecksum), kSimAck, true, false, 0,
                  SimOutcome::BadChecksum},
        FaultCase{"Status", Kind(SimFaultKind::Status, 0x0A05), kSimAck, true, true, 0x0A05,
                  SimOutcome::Status},
        FaultCase{"Silence", Kind(SimFaultKind::Silence), -1, false, false, 0, SimOutcome::Silence},
        FaultCase{"ShortAnswer", Kind(SimFaultKind::ShortAnswer), kSimAck, true, true, 0,
                  SimOutcome::ShortAnswer},
        FaultCase{"Unterminated", Kind(SimFaultKind::Unterminated), kSimAck, false, false, 0,
                  SimOutcome::Unterminated}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(SimulatorFaultTest, BadChecksumAnswerIsOtherwiseTheRealAnswer) {
    SimFault fault = Kind(SimFaultKind::BadChecksum);
    fault.Command = 0x0003;
    Started s(WithFault(fault));
    const RawClient::Reply reply = s.client->Exchange(Request(0x0003));
    ASSERT_EQ(reply.First, kSimAck);
    ASSERT_FALSE(reply.FrameOk);
    // Only the last four characters (the checksum) are wrong.
    const RawClient::Reply good = s.client->Exchange(Request(0x0003));
    ASSERT_TRUE(good.FrameOk);
    ASSERT_EQ(reply.Frame.size(), good.Frame.size());
    EXPECT_EQ(reply.Frame.substr(0, reply.Frame.size() - 5),
              good.Frame.substr(0, good.Frame.size() - 5));
    EXPECT_NE(reply.Frame, good.Frame);
}

TEST(SimulatorFaultTest, ShortAnswerCutsTheRecordAndItsLengthField) {
    SimFault fault = Kind(SimFaultKind::ShortAnswer, 0, 20);
    fault.Command = 0x00A0;
    Started s(WithFault(fault));
    const RawClient::Reply reply = s.client->Exchange(Request(0x00A0));
    ASSERT_TRUE(reply.FrameOk);
    ASSERT_EQ(reply.Message.size(), 20u);
    EXPECT_EQ(Uint16At(reply.Message, 0), 20);
    EXPECT_EQ(Uint16At(reply.Message, 8), 0);
    EXPECT_EQ(s.client->Exchange(Request(0x00A0)).Message.size(), 76u);
}

TEST(SimulatorFaultTest, UnterminatedAnswerKeepsStreaming) {
    SimFault fault = Kind(SimFaultKind::Unterminated);
    fault.Length = 20000;  // far more than any answer buffer of a host
    Started s(WithFault(fault));
    s.client->Write(EncodeRequestFrame(Request(0x0002)));
    ASSERT_EQ(s.client->ReadByte(2000ms), kSimAck);
    std::size_t received = 0;
    bool sawEtx = false;
    for (int byte; (byte = s.client->ReadByte(300ms)) >= 0;) {
        ++received;
        sawEtx = sawEtx || byte == kSimEtx;
    }
    EXPECT_FALSE(sawEtx);
    EXPECT_EQ(received, 1u + 4u + 28u + 20000u);  // STX, prefix, answer text, filler
}

// A host retrying each exchange up to three times, as the updater does.
RawClient::Reply WithRetries(RawClient& client, const std::vector<std::uint8_t>& request,
                             int attempts, int& used) {
    RawClient::Reply reply;
    for (used = 1; used <= attempts; ++used) {
        reply = client.Exchange(request, 300ms);
        if (reply.FrameOk)
            return reply;
    }
    used = attempts;
    return reply;
}

struct RepeatCase {
    std::uint32_t Repeat;
    bool Survives;
};

class FaultRepeatTest : public ::testing::TestWithParam<RepeatCase> {};

TEST_P(FaultRepeatTest, RepeatDecidesWhetherThreeAttemptsSurvive) {
    SimFault fault = Kind(SimFaultKind::Nak);
    fault.Command = 0x0002;
    fault.Repeat = GetParam().Repeat;
    Started s(WithFault(fault));
    int used = 0;
    const RawClient::Reply reply = WithRetries(*s.client, Request(0x0002), 3, used);
    EXPECT_EQ(reply.FrameOk, GetParam().Survives);
    if (GetParam().Survives) {
        EXPECT_EQ(used, static_cast<int>(GetParam().Repeat) + 1);
    }
    // The fault is spent afterwards (unless it repeats for ever).
    if (GetParam().Repeat != 0) {
        EXPECT_TRUE(s.client->Exchange(Request(0x0002)).FrameOk);
    }
}

INSTANTIATE_TEST_SUITE_P(Repeats, FaultRepeatTest,
                         ::testing::Values(RepeatCase{1, true}, RepeatCase{2, true},
                                           RepeatCase{3, false}, RepeatCase{0, false}));

TEST(SimulatorFaultTest, StatusOnlyOnTheNthWriteMemoryIntoOneMemory) {
    SimFault fault = Kind(SimFaultKind::Status, 0x0A07);
    fault.Command = 0x0202;
    fault.MemoryType = 0;
    fault.Occurrence = 2;
    Started s(WithFault(fault));
    EXPECT_EQ(Uint16At(s.client->Exchange(BlockRequest(0x100, 1)).Message, 8), 0);
    EXPECT_EQ(Uint16At(s.client->Exchange(BlockRequest(0x200, 1)).Message, 8), 0);
    EXPECT_EQ(Uint16At(s.client->Exchange(BlockRequest(0x08010000, 0)).Message, 8), 0);
    EXPECT_EQ(Uint16At(s.client->Exchange(BlockRequest(0x08011000, 0)).Message, 8), 0x0A07);
    EXPECT_EQ(Uint16At(s.client->Exchange(BlockRequest(0x08012000, 0)).Message, 8), 0);
    // The refused block was not stored.
    EXPECT_EQ(s.sim.WrittenBlocks().size(), 4u);
    EXPECT_FALSE(s.sim.Memory(0).IsWritten(0x08011000));
    EXPECT_TRUE(s.sim.Memory(0).IsWritten(0x08012000));
}

TEST(SimulatorFaultTest, HangUpAtTheThirdInternalFlashBlock) {
    SimFault fault = Kind(SimFaultKind::HangUp);
    fault.Command = 0x0202;
    fault.MemoryType = 0;
    fault.Occurrence = 3;
    Started s(WithFault(fault));
    const std::string firstName = s.sim.PortName();
    EXPECT_TRUE(s.client->Exchange(BlockRequest(0x08010000, 0)).FrameOk);
    EXPECT_TRUE(s.client->Exchange(BlockRequest(0x00700080, 1)).FrameOk);
    EXPECT_TRUE(s.client->Exchange(BlockRequest(0x08011000, 0)).FrameOk);
    const RawClient::Reply reply = s.client->Exchange(BlockRequest(0x08012000, 0));
    EXPECT_EQ(reply.First, -2);  // hang-up
    ASSERT_TRUE(s.sim.WaitForRequests(4, 2s));
    EXPECT_EQ(s.sim.Requests()[3].Outcome, SimOutcome::HangUp);
    EXPECT_FALSE(s.sim.State().Plugged);
    EXPECT_EQ(s.sim.PortName(), "");
    EXPECT_EQ(s.sim.WrittenBlocks().size(), 3u);

    // Plugged in again, the device shows up under another name and keeps what it had.
    ASSERT_EQ(s.sim.Plug(), 0);
    EXPECT_NE(s.sim.PortName(), firstName);
    RawClient again(s.sim.DevicePath());
    ASSERT_TRUE(again.IsOpen());
    EXPECT_TRUE(again.Exchange(Request(0x0002)).FrameOk);
    EXPECT_EQ(s.sim.WrittenBlocks().size(), 3u);
}

TEST(SimulatorFaultTest, HangUpCanReplugByItself) {
    SimFault fault = Kind(SimFaultKind::HangUp);
    SimOptions options = WithFault(fault);
    options.ReplugAfterMs = 10;
    Started s(options);
    const std::string firstName = s.sim.PortName();
    std::vector<std::string> ports;
    std::mutex portsMutex;
    s.sim.SetPortListener([&](const std::string& name) {
        std::lock_guard<std::mutex> lock(portsMutex);
        ports.push_back(name);
    });
    EXPECT_EQ(s.client->Exchange(Request(0x0002)).First, -2);
    ASSERT_TRUE(s.sim.WaitForState(
        [&](const SimDeviceState& st) { return st.Plugged && st.PortName != firstName; }, 5s));
    RawClient again(s.sim.DevicePath());
    EXPECT_TRUE(again.Exchange(Request(0x0002)).FrameOk);
    std::lock_guard<std::mutex> lock(portsMutex);
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_EQ(ports[0], "");
    EXPECT_EQ(ports[1], s.sim.PortName());
}

struct ReplugCase {
    const char* Name;
    std::uint32_t AppState;
    int Mode;
};

class ReplugTest : public ::testing::TestWithParam<ReplugCase> {};

TEST_P(ReplugTest, ReplugBootsPerAppStateAndKeepsMemories) {
    SimOptions options;
    Started s(options);
    ASSERT_TRUE(s.client->Exchange(BlockRequest(0x00400000, 1)).FrameOk);
    s.sim.EditState([&](SimDeviceState& st) { st.SetAppState(GetParam().AppState); });
    const std::string firstName = s.sim.PortName();

    ASSERT_EQ(s.sim.Unplug(), 0);
    EXPECT_EQ(s.client->ReadByte(1000ms), -2);
    EXPECT_EQ(s.sim.PortName(), "");
    ASSERT_EQ(s.sim.Plug(), 0);
    EXPECT_NE(s.sim.PortName(), firstName);

    RawClient again(s.sim.DevicePath());
    const RawClient::Reply mode = again.Exchange(Request(0x0002));
    ASSERT_TRUE(mode.FrameOk);
    EXPECT_EQ(Uint16At(mode.Message, 10), GetParam().Mode);
    EXPECT_TRUE(s.sim.Memory(1).IsWritten(0x00400000));
    EXPECT_EQ(s.sim.State().Boots, 1u);
}

INSTANTIATE_TEST_SUITE_P(AppStates, ReplugTest,
                         ::testing::Values(ReplugCase{"Application", 0xA5A5A5A5, 1},
                                           ReplugCase{"Bootloader", 0x5A5A5A5A, 2}),
                         [](const auto& info) { return std::string(info.param.Name); });

int PtyNumber(const std::string& portName) {
    return portName.rfind("pts/", 0) == 0 ? std::stoi(portName.substr(4)) : -1;
}

// Other programs open ptys while the device is away; the kernel hands out the lowest free
// number, so once one of theirs is numbered above the vanished pty, that number was not free.
void ExpectNameNotTakenByOthers(const std::string& vanished) {
    const int number = PtyNumber(vanished);
    ASSERT_GE(number, 0) << vanished;
    std::vector<std::unique_ptr<SimPseudoTerminal>> others;
    for (int i = 0; i <= number + 1; ++i) {
        others.push_back(std::make_unique<SimPseudoTerminal>());
        ASSERT_EQ(others.back()->Open(), 0);
        EXPECT_NE(others.back()->PortName(), vanished);
        if (PtyNumber(others.back()->PortName()) > number)
            return;
    }
    ADD_FAILURE() << "no pty above " << vanished << " was handed out";
}

// A host that opens a vanished name must fail, also while other programs open ptys, and also
// after the device came back under another name.
TEST(SimulatorFaultTest, AVanishedNameIsNeitherOpenableNorHandedOut) {
    Started s(SimOptions{});
    ASSERT_EQ(s.start, 0);
    const std::string firstName = s.sim.PortName();
    const std::string firstPath = s.sim.DevicePath();

    ASSERT_EQ(s.sim.Unplug(), 0);
    s.client.reset();
    ExpectNameNotTakenByOthers(firstName);
    EXPECT_FALSE(RawClient(firstPath).IsOpen());

    ASSERT_EQ(s.sim.Plug(), 0);
    EXPECT_NE(s.sim.PortName(), firstName);
    ExpectNameNotTakenByOthers(firstName);
    EXPECT_FALSE(RawClient(firstPath).IsOpen());
    EXPECT_TRUE(RawClient(s.sim.DevicePath()).IsOpen());
}

TEST(SimulatorFaultTest, UnplugAndPlugAreHarmlessWhenRepeated) {
    Started s(SimOptions{});
    EXPECT_EQ(s.sim.Plug(), 0);  // already plugged: nothing happens
    EXPECT_EQ(s.sim.State().Boots, 0u);
    EXPECT_EQ(s.sim.Unplug(), 0);
    EXPECT_EQ(s.sim.Unplug(), 0);
    EXPECT_EQ(s.sim.Plug(), 0);
    EXPECT_EQ(s.sim.State().Boots, 1u);
    s.sim.Stop();
    s.sim.Stop();
    EXPECT_FALSE(s.sim.IsRunning());
}

}  // namespace
