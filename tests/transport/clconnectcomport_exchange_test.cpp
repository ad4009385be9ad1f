// Exchanges over a real pseudo-terminal: what goes on the wire, what comes back, what is traced.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "comport_fixture.h"

namespace veltrin::testsupport {
namespace {

using std::string_literals::operator""s;
using namespace std::chrono_literals;

const std::string kFrame0102AB = "\x02"s + "0600" + "0102AB" + "\x03"s;

TEST_F(ComportTest, WorkedExampleOnTheWireAndInTheTrace) {
    peer_.Expect(kFrame0102AB).Reply("\x06\x02"s + "0800AABBCCDD" + "\x03"s).Start();
    ASSERT_EQ(Exchange("0102AB"), 0);
    EXPECT_EQ(AnswerText(), "AABBCCDD");
    EXPECT_EQ(Trace(), "send: 0600 0102AB\nrecv: 0800AABBCCDD\n");
    EXPECT_EQ(pauses_, std::vector<std::uint32_t>{1});  // PrefixDelay after the prefix
}

struct AnswerCase {
    const char* name;
    std::string reply;  // everything the device sends after the request
    std::size_t answerSize;
    int expected;
    std::string text;  // the answer text on success
    std::string recv;  // the recv trace line, empty when none is written
};

class AnswerTest : public ComportTest, public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(AnswerTest, ResultAnswerBufferAndTrace) {
    const AnswerCase& k = GetParam();
    peer_.Expect(kFrame0102AB).Reply(k.reply).Start();
    EXPECT_EQ(Exchange("0102AB", k.answerSize), k.expected);
    if (k.expected == 0) {
        EXPECT_EQ(AnswerText(), k.text);
    } else {
        EXPECT_TRUE(AnswerIsZeroed());
    }
    EXPECT_EQ(Trace(), "send: 0600 0102AB\n" + k.recv);
}

INSTANTIATE_TEST_SUITE_P(
    Serial, AnswerTest,
    ::testing::Values(
        AnswerCase{"Nak", "\x15"s, 64, 0x60200211, "", ""},
        AnswerCase{"StxInsteadOfAck", "\x02"s + "0400ABCD" + "\x03"s, 64, 0x60200212, "", ""},
        AnswerCase{"NoAckInTime", "", 64, 0x60200210, "", ""},
        AnswerCase{"NoEtx", "\x06\x02"s + "0400ABCD", 64, 0x60200006, "", ""},
        AnswerCase{"OnlyStxEtx", "\x06\x02\x03"s, 64, 0x6020000B, "", ""},
        AnswerCase{"OddLength", "\x06\x02"s + "0300ABC" + "\x03"s, 64, 0x6020000C, "",
                   "recv: 0300ABC\n"},
        AnswerCase{"ShorterThanPrefix", "\x06\x02"s + "0400" + "\x03"s, 64, 0x60200014, "",
                   "recv: 0400\n"},
        AnswerCase{"PrefixMismatch", "\x06\x02"s + "0600ABCD" + "\x03"s, 64, 0x60200010, "",
                   "recv: 0600ABCD\n"},
        AnswerCase{"NonHexPrefix", "\x06\x02"s + "0G00ABCD" + "\x03"s, 64, 0x6020000F, "",
                   "recv: 0G00ABCD\n"},
        AnswerCase{"PayloadFillsBuffer", "\x06\x02"s + "0800AABBCCDD" + "\x03"s, 8, 0x6020000A, "",
                   "recv: 0800AABBCCDD\n"},
        AnswerCase{"PayloadAndNulFit", "\x06\x02"s + "0800AABBCCDD" + "\x03"s, 9, 0, "AABBCCDD",
                   "recv: 0800AABBCCDD\n"},
        AnswerCase{"BlanksAndLineEndsTrimmed", "\x06\x02\x02 "s + "0400ABCD" + "\r\n\x03"s, 64, 0,
                   "ABCD", "recv: 0400ABCD\n"}),
    [](const ::testing::TestParamInfo<AnswerCase>& info) { return info.param.name; });

struct FramingCase {
    const char* name;
    std::int32_t txLengthBytes;
    std::uint16_t stxCount;
    std::string wire;
    std::string traced;
    std::size_t pauses;
};

class FramingTest : public ComportTest, public ::testing::WithParamInterface<FramingCase> {};

TEST_P(FramingTest, PrefixAndStxCharacters) {
    const FramingCase& k = GetParam();
    Reconfigure([&](TSConnectParams& p) {
        p.TxLengthBytes = k.txLengthBytes;
        p.StxCount = k.stxCount;
        p.RxLengthBytes = 0;
    });
    peer_.Expect(k.wire).Reply("\x06\x02"s + "ABCD" + "\x03"s).Start();
    ASSERT_EQ(Exchange("0102AB"), 0);
    EXPECT_EQ(AnswerText(), "ABCD");
    EXPECT_EQ(Trace(), k.traced + "recv: ABCD\n");
    EXPECT_EQ(pauses_.size(), k.pauses);
}

INSTANTIATE_TEST_SUITE_P(
    Serial, FramingTest,
    ::testing::Values(
        FramingCase{"NoPrefix", 0, 1, "\x02"s + "0102AB" + "\x03"s, "send: 0102AB\n", 0},
        FramingCase{"OneBytePrefix", 1, 1, "\x02"s + "06" + "0102AB" + "\x03"s, "send: 06 0102AB\n",
                    1},
        FramingCase{"FourBytePrefix", 4, 1, "\x02"s + "06000000" + "0102AB" + "\x03"s,
                    "send: 06000000 0102AB\n", 1},
        FramingCase{"NoStx", 2, 0, "0600"s + "0102AB" + "\x03"s, "send: 0600 0102AB\n", 1},
        FramingCase{"ThreeStx", 2, 3, "\x02\x02\x02"s + "0600" + "0102AB" + "\x03"s,
                    "send: 0600 0102AB\n", 1}),
    [](const ::testing::TestParamInfo<FramingCase>& info) { return info.param.name; });

// Requests refused before anything goes out; the next valid exchange proves the line is clean.
TEST_F(ComportTest, RefusedRequestsSendNothing) {
    peer_.Expect(kFrame0102AB).Reply("\x06\x02"s + "0400ABCD" + "\x03"s).Start();

    EXPECT_EQ(Exchange(""), 0x60200009);
    EXPECT_EQ(AnswerText().substr(0, 3), "ZZZ");  // untouched

    char unterminated[6] = {'0', '1', '0', '2', 'A', 'B'};
    answer_.assign(64, 'Z');
    EXPECT_EQ(port_.Transceive(unterminated, sizeof unterminated, answer_.data(), 64), 0x6020000D);
    EXPECT_EQ(AnswerText().substr(0, 3), "ZZZ");

    Reconfigure([](TSConnectParams& p) { p.TxLengthBytes = 3; });
    EXPECT_EQ(Exchange("0102AB"), 0x60200013);
    EXPECT_TRUE(AnswerIsZeroed());

    // A one-byte prefix cannot announce 256 characters; the frame would lie about its length.
    Reconfigure([](TSConnectParams& p) { p.TxLengthBytes = 1; });
    EXPECT_EQ(Exchange(std::string(256, 'A')), 0x60200013);
    EXPECT_TRUE(AnswerIsZeroed());

    Reconfigure([](TSConnectParams& p) { p.TxLengthBytes = 2; });
    EXPECT_EQ(Exchange("0102AB"), 0);
    EXPECT_EQ(AnswerText(), "ABCD");
    peer_.Finish();
    EXPECT_EQ(peer_.Received(), kFrame0102AB);
}

// The two read phases have their own time-outs: AckTimeout bounds the wait for the ACK alone,
// AnswerTimeout each single byte of the answer, however long the whole answer takes. The
// device's pauses lie between the two (longer than AckTimeout, far shorter than
// AnswerTimeout), so a transport that mixed them up would fail these either way, and a loaded
// machine, which only makes the pauses longer, cannot turn a wrong result into a right one.
struct TimeoutCase {
    const char* name;
    // Sent in turn once the request is read; the pause comes before every reply but the
    // first, and before a lone reply.
    std::vector<std::string> replies;
    std::chrono::milliseconds pause;
    int expected;
    const char* text;
};

void PrintTo(const TimeoutCase& c, std::ostream* os) {
    *os << c.name;
}

class TimeoutTest : public ComportTest, public ::testing::WithParamInterface<TimeoutCase> {};

TEST_P(TimeoutTest, AckAndAnswerBytesAreTimedApart) {
    const TimeoutCase& k = GetParam();
    Reconfigure([](TSConnectParams& p) {
        p.AckTimeout = 200;
        p.AnswerTimeout = 5000;
    });
    peer_.Expect(kFrame0102AB);
    for (std::size_t i = 0; i < k.replies.size(); ++i) {
        if (i > 0 || k.replies.size() == 1)
            peer_.Delay(k.pause);
        peer_.Reply(k.replies[i]);
    }
    peer_.Start();
    EXPECT_EQ(Exchange("0102AB"), k.expected);
    EXPECT_EQ(AnswerText(), k.text);
}

INSTANTIATE_TEST_SUITE_P(
    Serial, TimeoutTest,
    ::testing::Values(
        // The ACK comes 1.5 s late: well within AnswerTimeout, yet too late.
        TimeoutCase{"AckAfterAckTimeout", {"\x06\x02"s + "0400ABCD" + "\x03"s}, 1500ms,
                    0x60200210, ""},
        // The answer trickles in with 300 ms gaps: each gap and the whole answer are longer
        // than AckTimeout, every byte within AnswerTimeout.
        TimeoutCase{"AnswerSlowerThanAckTimeout",
                    {"\x06\x02"s + "04", "00", "AB", "CD" + "\x03"s},
                    300ms,
                    0,
                    "ABCD"}),
    [](const ::testing::TestParamInfo<TimeoutCase>& info) { return info.param.name; });

// After a failed exchange the port stays open, and what the device sends too late is dropped
// before the next request goes out.
TEST_F(ComportTest, LateBytesOfAFailedExchangeAreDiscarded) {
    peer_.Expect(kFrame0102AB).Reply("\x06\x02"s + "0400AB").Start();
    EXPECT_EQ(Exchange("0102AB"), 0x60200006);
    peer_.Finish();

    ScriptedPeer next(pty_);
    next.Expect(kFrame0102AB).Reply("\x06\x02"s + "0400EEFF" + "\x03"s);
    // The rest of the answer comes in after the host has given up on it.
    ASSERT_EQ(::write(pty_.Master(), "CD\x03", 3), 3);
    next.Start();
    EXPECT_EQ(Exchange("0102AB"), 0);
    EXPECT_EQ(AnswerText(), "EEFF");
    next.Stop();
    EXPECT_TRUE(next.Failures().empty());
}

}  // namespace
}  // namespace veltrin::testsupport
