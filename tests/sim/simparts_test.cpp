// The simulator's parts without a line: frame codec, frame receiver, memory, fault plan.
#include <gtest/gtest.h>

#include "faultplan.h"
#include "framereceiver.h"
#include "simframe.h"
#include "simmemory.h"

using namespace veltrin;

namespace {

struct DecodeCase {
    const char* Name;
    std::string Text;
    SimFrameError Error;
};

class DecodeRequestTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeRequestTest, ChecksPrefixHexAndChecksum) {
    std::vector<std::uint8_t> message;
    EXPECT_EQ(DecodeRequestText(GetParam().Text, message), GetParam().Error);
    if (GetParam().Error == SimFrameError::None) {
        EXPECT_EQ(message, (std::vector<std::uint8_t>{0x0A, 0, 0, 0xFF, 1, 0, 0, 0, 0, 0}));
    } else {
        EXPECT_TRUE(message.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DecodeRequestTest,
    ::testing::Values(
        DecodeCase{"ReadDeviceId", "18000A0000FF0100000000002EFE", SimFrameError::None},
        DecodeCase{"LowerCaseHex", "18000a0000ff0100000000002efe", SimFrameError::None},
        DecodeCase{"ChecksumOff", "18000A0000FF0100000000002FFE", SimFrameError::BadChecksum},
        DecodeCase{"PrefixDiffers", "19000A0000FF0100000000002EFE", SimFrameError::BadLengthPrefix},
        DecodeCase{"PrefixNotHex", "1G000A0000FF0100000000002EFE", SimFrameError::BadLengthPrefix},
        DecodeCase{"OddPayload", "17000A0000FF0100000000002EF", SimFrameError::OddLength},
        DecodeCase{"NotHex", "18000A0000FF01000000000Z2EFE", SimFrameError::BadHex},
        DecodeCase{"TooShort", "0400AB", SimFrameError::TooShort},
        DecodeCase{"TooLong", std::string(kSimMaxFrameText + 2, '0'), SimFrameError::TooLong}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(SimFrameTest, SetProgressRequestMatchesTheKnownText) {
    const std::string frame = EncodeRequestFrame({0x0C, 0, 0, 0, 0x07, 0x02, 0, 0, 0, 0, 0x32, 0});
    std::vector<std::uint8_t> message;
    ASSERT_EQ(frame.front(), kSimStx);
    ASSERT_EQ(frame.back(), kSimEtx);
    EXPECT_EQ(frame.substr(1, 4), "1C00");
    EXPECT_EQ(DecodeRequestText(frame.substr(1, frame.size() - 2), message), SimFrameError::None);
    EXPECT_EQ(message.size(), 12u);
}

TEST(SimFrameTest, CorruptedAnswerDiffersOnlyInItsChecksum) {
    const std::vector<std::uint8_t> message = {0x0C, 0, 0, 0, 0x02, 0, 0, 0, 0, 0, 1, 0};
    const std::string good = EncodeAnswerFrame(message, false);
    const std::string bad = EncodeAnswerFrame(message, true);
    ASSERT_EQ(good.size(), bad.size());
    EXPECT_EQ(good.substr(0, good.size() - 5), bad.substr(0, bad.size() - 5));
    std::vector<std::uint8_t> decoded;
    EXPECT_EQ(DecodeRequestText(bad.substr(1, bad.size() - 2), decoded),
              SimFrameError::BadChecksum);
}

std::vector<std::string> FramesOf(const std::string& bytes, SimFrameReceiver& receiver,
                                  std::vector<bool>* overflowed = nullptr) {
    std::vector<std::string> frames;
    for (char c : bytes) {
        if (receiver.Feed(static_cast<std::uint8_t>(c))) {
            frames.push_back(receiver.Text());
            if (overflowed != nullptr)
                overflowed->push_back(receiver.Overflowed());
        }
    }
    return frames;
}

struct ReceiverCase {
    const char* Name;
    std::string Bytes;
    std::vector<std::string> Frames;
};

class FrameReceiverTest : public ::testing::TestWithParam<ReceiverCase> {};

TEST_P(FrameReceiverTest, FindsTheFrames) {
    SimFrameReceiver receiver;
    EXPECT_EQ(FramesOf(GetParam().Bytes, receiver), GetParam().Frames);
}

INSTANTIATE_TEST_SUITE_P(Streams, FrameReceiverTest,
                         ::testing::Values(ReceiverCase{"One",
                                                        "\x02"
                                                        "AB\x03",
                                                        {"AB"}},
                                           ReceiverCase{"NoiseAndStrayEtx",
                                                        "xy\x03\x02"
                                                        "AB\x03zz",
                                                        {"AB"}},
                                           ReceiverCase{"SeveralStx",
                                                        "\x02\x02\x02"
                                                        "AB\x03",
                                                        {"AB"}},
                                           ReceiverCase{"StxRestartsTheFrame",
                                                        "\x02"
                                                        "AB\x02"
                                                        "CD\x03",
                                                        {"CD"}},
                                           ReceiverCase{"BackToBack",
                                                        "\x02"
                                                        "A\x03\x02"
                                                        "B\x03",
                                                        {"A", "B"}},
                                           ReceiverCase{"EmptyFrame", "\x02\x03", {""}},
                                           ReceiverCase{"Unfinished",
                                                        "\x02"
                                                        "ABC",
                                                        {}}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(FrameReceiverTest, OverlongFrameIsBoundedAndFlagged) {
    SimFrameReceiver receiver;
    std::vector<bool> overflowed;
    const std::string big = "\x02" + std::string(kSimMaxFrameText + 100, 'A') + "\x03";
    const auto frames = FramesOf(big +
                                     "\x02"
                                     "AB\x03",
                                 receiver, &overflowed);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].size(), kSimMaxFrameText);
    EXPECT_EQ(overflowed, (std::vector<bool>{true, false}));
    EXPECT_EQ(frames[1], "AB");
}

TEST(SimMemoryTest, SparseWritesReadBackWithErasedGaps) {
    SimMemory memory;
    std::vector<std::uint8_t> data(5000);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i);
    memory.Write(0x08010F00, data.data(), 5000);  // crosses two page borders
    memory.Write(0x08020000, data.data(), 16);
    EXPECT_EQ(memory.Read(0x08010F00, 5000), data);
    const std::vector<std::uint8_t> around = memory.Read(0x08010EFE, 4);
    EXPECT_EQ(around, (std::vector<std::uint8_t>{0xFF, 0xFF, 0, 1}));
    EXPECT_FALSE(memory.IsWritten(0x08010EFF));
    EXPECT_TRUE(memory.IsWritten(0x08010F00));
    EXPECT_EQ(memory.WrittenByteCount(), 5016u);
    const auto spans = memory.WrittenSpans();
    ASSERT_EQ(spans.size(), 2u);
    EXPECT_EQ(spans[0].Start, 0x08010F00u);
    EXPECT_EQ(spans[0].Count, 5000u);
    EXPECT_EQ(spans[1].Start, 0x08020000u);
    SimMemory copy = memory;
    memory.Clear();
    EXPECT_EQ(copy.Read(0x08020000, 16),
              std::vector<std::uint8_t>(data.begin(), data.begin() + 16));
}

TEST(SimMemoryTest, TopOfTheAddressSpace) {
    SimMemory memory;
    const std::uint8_t bytes[4] = {1, 2, 3, 4};
    memory.Write(0xFFFFFFFC, bytes, 4);
    EXPECT_EQ(memory.Read(0xFFFFFFFC, 4), (std::vector<std::uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(memory.Read(0xFFFFFFFE, 4), (std::vector<std::uint8_t>{3, 4, 0xFF, 0xFF}));
}

// Which of ten frames a rule hits, as a string of '.' and 'x'.
std::string Hits(const SimFault& fault, const std::vector<int>& commands) {
    SimFaultPlan plan({fault});
    std::string hits;
    for (int command : commands)
        hits += plan.Next(command, command == 0x0202 ? 0 : -1) ? 'x' : '.';
    return hits;
}

TEST(SimFaultPlanTest, OccurrenceAndRepeat) {
    const std::vector<int> any(8, 2);
    SimFault fault;
    fault.Occurrence = 3;
    EXPECT_EQ(Hits(fault, any), "..x.....");
    fault.Repeat = 3;
    EXPECT_EQ(Hits(fault, any), "..xxx...");
    fault.Repeat = 0;
    EXPECT_EQ(Hits(fault, any), "..xxxxxx");
}

TEST(SimFaultPlanTest, CommandAndMemoryFilters) {
    const std::vector<int> mixed = {1, 0x0202, 2, 0x0202, 0x0202, 2};
    SimFault fault;
    fault.Command = 0x0202;
    fault.Occurrence = 2;
    EXPECT_EQ(Hits(fault, mixed), "...x..");
    fault.MemoryType = 1;  // the frames above write memory 0
    EXPECT_EQ(Hits(fault, mixed), "......");
    fault.Command = -1;  // by exchange count, undecodable frames included
    fault.MemoryType = -1;
    EXPECT_EQ(Hits(fault, {-1, -1, 2}), ".x.");
}

TEST(SimFaultPlanTest, FirstFiringRuleWinsButAllCount) {
    SimFault nak;
    nak.Occurrence = 2;
    SimFault silence;
    silence.Kind = SimFaultKind::Silence;
    silence.Occurrence = 2;
    silence.Repeat = 2;
    SimFaultPlan plan({nak, silence});
    EXPECT_FALSE(plan.Next(2, -1));
    EXPECT_EQ(plan.Next(2, -1)->Kind, SimFaultKind::Nak);
    EXPECT_EQ(plan.Next(2, -1)->Kind, SimFaultKind::Silence);
    EXPECT_FALSE(plan.Next(2, -1));
}

}  // namespace
