// A device that goes away, never stops talking or never reads: the exchange ends with a result
// code, the answer buffer is zeroed, and the program carries on.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <string>
#include <vector>

#include "comport_fixture.h"

namespace veltrin::testsupport {
namespace {

using std::string_literals::operator""s;

const std::string kFrame0102AB = "\x02"s + "0600" + "0102AB" + "\x03"s;

struct HangupCase {
    const char* name;
    bool requestFirst;   // whether the device takes the request before it hangs up
    std::string before;  // what it sends before hanging up
    std::vector<int> expected;
};

class HangupTest : public ComportTest, public ::testing::WithParamInterface<HangupCase> {};

TEST_P(HangupTest, EndsWithAnErrorAndLeavesThePortUsable) {
    const HangupCase& k = GetParam();
    if (k.requestFirst)
        peer_.Expect(kFrame0102AB);
    // A hang-up drops what the host has not read yet; give it a moment to read.
    if (!k.before.empty())
        peer_.Reply(k.before).Delay(std::chrono::milliseconds(20));
    peer_.Hangup().Start();
    if (!k.requestFirst)
        peer_.Finish();  // gone before the request
    EXPECT_THAT(k.expected, ::testing::Contains(Exchange("0102AB")));
    EXPECT_TRUE(AnswerIsZeroed());
    peer_.Finish();
    // The line is dead; a further exchange fails again instead of crashing or hanging.
    EXPECT_EQ(Exchange("0102AB"), EIO);
    EXPECT_TRUE(AnswerIsZeroed());
    EXPECT_EQ(port_.Close(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Serial, HangupTest,
    ::testing::Values(HangupCase{"BeforeTheRequest", false, "", {EIO}},
                      HangupCase{"BeforeTheAck", true, "", {0x60200210}},
                      // Had the host not read the ACK yet, it is lost with the hang-up.
                      HangupCase{
                          "InTheAnswer", true, "\x06\x02"s + "0400AB", {0x60200006, 0x60200210}}),
    [](const ::testing::TestParamInfo<HangupCase>& info) { return info.param.name; });

TEST_F(ComportTest, EndlessAnswerStopsAtTheAnswerBuffer) {
    // Far more than the answer buffer, and finite, so that an unbounded reader still ends.
    peer_.Expect(kFrame0102AB).Reply("\x06\x02"s + "FFFF").Stream('A', 4 << 20).Start();
    EXPECT_EQ(Exchange("0102AB", 64), 0x6020000A);
    EXPECT_TRUE(AnswerIsZeroed());
    peer_.Stop();
    EXPECT_LT(peer_.Streamed(), std::size_t{4} << 20);
}

TEST_F(ComportTest, WriteToADeviceThatNeverReadsEndsAfterAnswerTimeout) {
    // Longer than a pseudo-terminal buffers, so the request cannot all go out.
    Reconfigure([](TSConnectParams& p) {
        p.TxLengthBytes = 4;
        p.AnswerTimeout = 100;
    });
    EXPECT_EQ(Exchange(std::string(4 << 20, 'A')), ETIMEDOUT);
    EXPECT_TRUE(AnswerIsZeroed());
}

TEST_F(ComportTest, ExchangeOnAClosedPortFails) {
    ASSERT_EQ(port_.Close(), 0);
    EXPECT_EQ(Exchange("0102AB"), EBADF);
    EXPECT_TRUE(AnswerIsZeroed());
}

TEST(ComportWithoutPortTest, EveryPortOperationReportsTheMissingPort) {
    ClConnectComport port(nullptr);
    EXPECT_EQ(port.Open(), 0x60200200);
    EXPECT_EQ(port.Close(), 0x60200200);
    char answer[8] = "ZZZZZZZ";
    EXPECT_EQ(port.Transceive("0102", 5, answer, sizeof answer), 0x60200200);
    EXPECT_STREQ(answer, "ZZZZZZZ");
}

}  // namespace
}  // namespace veltrin::testsupport
