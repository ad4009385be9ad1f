#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "protocol/clconnect.h"

using namespace veltrin;

namespace {

// A transport whose answers are scripted: each Transceive takes the next (result, text) pair.
class ScriptedConnect : public ClConnect {
public:
    struct Reply {
        int result;
        std::string text;
    };
    ScriptedConnect() {
        TSConnectParams p;
        p.TxChecksum = kChecksumCrc16Arc;
        p.RxChecksum = kChecksumCrc16Arc;
        p.Attempts = 3;
        p.RetryDelay = 10;
        SetParams(p);
        SetSleeper([this](std::uint32_t ms) { sleeps.push_back(ms); });
    }
    int Transceive(const char* request, std::uint32_t, char* answer,
                   std::uint32_t answerSize) override {
        requests.emplace_back(request);
        std::memset(answer, 0, answerSize);
        if (replies.empty())
            return 0x60200210;
        Reply reply = replies.front();
        replies.pop_front();
        std::strncpy(answer, reply.text.c_str(), answerSize - 1);
        return reply.result;
    }
    void SetAttempts(std::uint16_t attempts) {
        TSConnectParams p;
        GetParams(p);
        p.Attempts = attempts;
        SetParams(p);
    }
    std::deque<Reply> replies;
    std::vector<std::string> requests;
    std::vector<std::uint32_t> sleeps;
};

std::string WithCrc(const std::string& hex) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    const std::uint16_t crc = ClConnect::Crc16(0, bytes.data(), bytes.size(), bytes.size());
    char tail[5];
    std::snprintf(tail, sizeof tail, "%02X%02X", crc & 0xFF, crc >> 8);
    return hex + tail;
}

struct Buffers {
    std::uint8_t message[32] = {};
    char request[(32 + 2) * 2 + 1] = {};
    char answer[(32 + 2) * 2 + 1] = {};
};

}  // namespace

TEST(TransferTest, DeviceModeRequestTextAndDecodedAnswer) {
    ScriptedConnect c;
    Buffers b;
    const std::uint8_t request[] = {0x0A, 0, 0, 0, 0x02, 0, 0, 0, 0, 0};
    std::memcpy(b.message, request, sizeof request);
    c.replies.push_back({0, WithCrc("0C0000000200000000000100")});
    std::uint32_t length = sizeof request;
    ASSERT_EQ(
        c.Transfer(b.message, &length, 32, b.request, sizeof b.request, b.answer, sizeof b.answer),
        0);
    ASSERT_EQ(c.requests.size(), 1u);
    EXPECT_EQ(c.requests[0], "0A00000002000000000021C2");
    EXPECT_EQ(length, 12u);
    EXPECT_EQ(b.message[10], 0x01);
    for (int i = 12; i < 32; ++i)
        EXPECT_EQ(b.message[i], 0) << i;
    EXPECT_STREQ(b.answer, "0C0000000200000000000100");  // checksum characters removed
}

TEST(TransferTest, RefusesBeforeSending) {
    ScriptedConnect c;
    Buffers b;
    std::uint32_t length = 0;
    EXPECT_EQ(
        c.Transfer(b.message, &length, 32, b.request, sizeof b.request, b.answer, sizeof b.answer),
        0x60200011);
    length = 4;
    // The request buffer is measured against the capacity, not the length.
    EXPECT_EQ(c.Transfer(b.message, &length, 32, b.request, 68, b.answer, sizeof b.answer),
              0x6020000A);
    length = 33;
    EXPECT_EQ(
        c.Transfer(b.message, &length, 32, b.request, sizeof b.request, b.answer, sizeof b.answer),
        0x60200012);
    EXPECT_EQ(length, 0u);
    EXPECT_TRUE(c.requests.empty());
}

TEST(TransferTest, AnswerShapeErrors) {
    struct Case {
        std::string answer;
        int expected;
    };
    const Case cases[] = {
        {"", 0x6020000B},
        {"123", 0x6020000C},
        {"12", 0x60200014},
        {"0102XX", 0x6020000F},
        {"0AZZ"
         "0000",
         0x6020000F},
    };
    for (const Case& k : cases) {
        ScriptedConnect c;
        c.SetAttempts(1);
        Buffers b;
        b.message[0] = 0x55;
        c.replies.push_back({0, k.answer});
        std::uint32_t length = 1;
        EXPECT_EQ(c.Transfer(b.message, &length, 32, b.request, sizeof b.request, b.answer,
                             sizeof b.answer),
                  k.expected)
            << k.answer;
        EXPECT_EQ(length, 0u);
    }
}

TEST(TransferTest, BadChecksumLeavesTheUnverifiedAnswer) {
    ScriptedConnect c;
    Buffers b;
    b.message[0] = 0x0A;
    c.replies.push_back({0, "AABBCC0000"});
    std::uint32_t length = 1;
    EXPECT_EQ(
        c.Transfer(b.message, &length, 32, b.request, sizeof b.request, b.answer, sizeof b.answer),
        0x60200015);
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(b.message[0], 0xAA);
    EXPECT_EQ(b.message[1], 0xBB);
    EXPECT_EQ(b.message[2], 0xCC);
}

TEST(TransferTest, X25ChecksumIsAppendedAndVerified) {
    ScriptedConnect c;
    TSConnectParams p;
    c.GetParams(p);
    p.TxChecksum = p.RxChecksum = kChecksumCrc16X25;
    c.SetParams(p);
    Buffers b;
    std::memcpy(b.message, "abc", 3);
    c.replies.push_back({0, "616263259E"});  // "abc" and its X-25 check value 0x9E25
    std::uint32_t length = 3;
    EXPECT_EQ(
        c.Transfer(b.message, &length, 32, b.request, sizeof b.request, b.answer, sizeof b.answer),
        0);
    EXPECT_EQ(c.requests[0], "616263259E");
    EXPECT_EQ(length, 3u);
}

TEST(TransceiveRetryTest, AttemptsAndPauses) {
    struct Case {
        std::uint16_t attempts;
        std::size_t calls;
        std::size_t sleeps;
    };
    for (const Case k : {Case{0, 1, 0}, Case{1, 1, 0}, Case{3, 3, 2}}) {
        ScriptedConnect c;
        c.SetAttempts(k.attempts);
        char answer[16];
        EXPECT_EQ(c.TransceiveRetry("0102", 5, answer, sizeof answer), 0x60200210);
        EXPECT_EQ(c.requests.size(), k.calls) << k.attempts;
        EXPECT_EQ(c.sleeps.size(), k.sleeps) << k.attempts;
        for (std::uint32_t ms : c.sleeps)
            EXPECT_EQ(ms, 10u);
    }
}

TEST(TransceiveRetryTest, StopsAtTheFirstSuccess) {
    ScriptedConnect c;
    c.replies.push_back({0x60200211, ""});
    c.replies.push_back({0, "00"});
    char answer[16];
    EXPECT_EQ(c.TransceiveRetry("0102", 5, answer, sizeof answer), 0);
    EXPECT_EQ(c.requests.size(), 2u);
    EXPECT_EQ(c.sleeps.size(), 1u);
}
