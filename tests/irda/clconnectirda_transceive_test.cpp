#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "irdatestsupport.h"
#include "protocol/connecterrors.h"

using namespace veltrin;
using veltrin::testing::IrdaFixture;
using veltrin::testing::PipetteInRange;

namespace {

class IrdaTransceiveTest : public ::testing::Test {
protected:
    void Connect(std::deque<FakeIrdaReply> replies, std::uint32_t answerDelay = 0) {
        FakeIrdaDevice device = PipetteInRange();
        device.Replies = std::move(replies);
        f.stack.Devices.push_back(device);
        f.SetIrdaFields(0, 1000, answerDelay);
        ASSERT_EQ(f.irda->Open(), 0);
    }
    int Exchange(const char* request, char* answer, std::uint32_t answerSize) {
        return f.irda->Transceive(request, static_cast<std::uint32_t>(std::strlen(request) + 1),
                                  answer, answerSize);
    }

    IrdaFixture f;
};

}  // namespace

TEST_F(IrdaTransceiveTest, SendsRequestBareAndReturnsTheAnswerUntrimmed) {
    Connect({FakeIrdaReply::Answer(" 0C00000002000000000001004A9F\r\n")}, 40);
    char answer[64];
    EXPECT_EQ(Exchange("0A00000002000000000021C2", answer, sizeof answer), 0);
    ASSERT_EQ(f.stack.Requests.size(), 1u);
    EXPECT_EQ(f.stack.Requests[0], "0A00000002000000000021C2");
    EXPECT_STREQ(answer, " 0C00000002000000000001004A9F\r\n");
    EXPECT_EQ(f.sleeps, std::vector<std::uint32_t>{40});
}

TEST_F(IrdaTransceiveTest, LongAnswerIsCutAndTheRestStaysForTheNextReceive) {
    Connect({FakeIrdaReply::Answer("0123456789ABCDEF"), FakeIrdaReply::Silence()});
    char answer[11];
    EXPECT_EQ(Exchange("01", answer, sizeof answer), 0);
    EXPECT_STREQ(answer, "0123456789");
    EXPECT_EQ(Exchange("02", answer, sizeof answer), 0);
    EXPECT_STREQ(answer, "ABCDEF");
}

TEST_F(IrdaTransceiveTest, ReceiveTimeoutReturnsTheStackErrorAndAZeroedAnswer) {
    Connect({FakeIrdaReply::Silence()});
    char answer[16];
    std::memset(answer, 'x', sizeof answer);
    EXPECT_EQ(Exchange("01", answer, sizeof answer), FakeIrdaStack::kTimedOut);
    for (char c : answer)
        EXPECT_EQ(c, '\0');
}

TEST_F(IrdaTransceiveTest, PeerThatClosesGivesNoDataReceived) {
    Connect({FakeIrdaReply::Hangup()});
    char answer[16];
    EXPECT_EQ(Exchange("01", answer, sizeof answer), 0x60200103);
    EXPECT_STREQ(answer, "");
}

TEST_F(IrdaTransceiveTest, RequestChecksComeBeforeSending) {
    Connect({});
    char answer[16];
    EXPECT_EQ(f.irda->Transceive("", 1, answer, sizeof answer), 0x60200009);
    const char unterminated[4] = {'0', '1', '0', '2'};
    EXPECT_EQ(f.irda->Transceive(unterminated, sizeof unterminated, answer, sizeof answer),
              0x6020000D);
    EXPECT_EQ(f.irda->Transceive("0102", 4, answer, sizeof answer), 0x6020000D);
    EXPECT_EQ(f.irda->Transceive("01", 0, answer, sizeof answer), 0x6020000D);
    EXPECT_EQ(f.irda->Transceive("01", 3, answer, 1), 0x6020000A);
    EXPECT_TRUE(f.stack.Requests.empty());
}

TEST_F(IrdaTransceiveTest, SendAndReceiveFailuresPassTheStackErrorOn) {
    Connect({FakeIrdaReply::Answer("00")});
    char answer[16];
    f.stack.Fail(FakeIrdaStep::Send, 10054);
    EXPECT_EQ(Exchange("01", answer, sizeof answer), 10054);
    f.stack.Fail(FakeIrdaStep::Send, 0);
    f.stack.Fail(FakeIrdaStep::Recv, 10053);
    EXPECT_EQ(Exchange("01", answer, sizeof answer), 10053);
    f.stack.Fail(FakeIrdaStep::Recv, 0);
    EXPECT_EQ(Exchange("01", answer, sizeof answer), 0);
    EXPECT_STREQ(answer, "00");
}

TEST_F(IrdaTransceiveTest, TransferRunsOverIrdaWithChecksums) {
    // The device-mode exchange: request 0A00000002000000000021C2, answer mode 1.
    std::vector<std::uint8_t> answerBytes = {0x0C, 0, 0, 0, 0x02, 0, 0, 0, 0, 0, 0x01, 0};
    const std::uint16_t crc = ClConnect::Crc16(0, answerBytes.data(), 12, 12);
    char hex[64] = {};
    for (std::size_t i = 0; i < answerBytes.size(); ++i) {
        std::snprintf(hex + 2 * i, 3, "%02X", answerBytes[i]);
    }
    std::snprintf(hex + 24, 5, "%02X%02X", crc & 0xFF, crc >> 8);
    Connect({FakeIrdaReply::Answer(hex)});
    TSConnectParams p;
    f.irda->GetParams(p);
    p.TxChecksum = kChecksumCrc16Arc;
    p.RxChecksum = kChecksumCrc16Arc;
    f.irda->SetParams(p);

    std::uint8_t message[16] = {0x0A, 0, 0, 0, 0x02, 0, 0, 0, 0, 0};
    std::uint32_t length = 10;
    char request[(16 + 2) * 2 + 1];
    char answer[(16 + 2) * 2 + 1];
    ASSERT_EQ(f.irda->Transfer(message, &length, sizeof message, request, sizeof request, answer,
                               sizeof answer),
              0);
    EXPECT_EQ(f.stack.Requests.at(0), "0A00000002000000000021C2");
    EXPECT_EQ(length, 12u);
    EXPECT_EQ(message[10], 1);
}

TEST_F(IrdaTransceiveTest, TransceiveWithoutOpenFailsWithoutTouchingTheStack) {
    char answer[16];
    EXPECT_NE(f.irda->Transceive("01", 3, answer, sizeof answer), 0);
    EXPECT_TRUE(f.stack.Requests.empty());
}
