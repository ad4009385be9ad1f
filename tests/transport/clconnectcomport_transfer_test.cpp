// Binary messages end to end: Transfer's text with its CRC, framed on a real line and decoded.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "comport_fixture.h"

namespace veltrin::testsupport {
namespace {

using std::string_literals::operator""s;

// The answer text for the hex payload with its CRC-16/ARC appended, least significant first.
std::string WithCrc(const std::string& hex) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    }
    const std::uint16_t crc =
        ClConnect::Crc16(0, bytes.data(), static_cast<std::uint32_t>(bytes.size()),
                         static_cast<std::uint32_t>(bytes.size()));
    char tail[5];
    std::snprintf(tail, sizeof tail, "%02X%02X", crc & 0xFF, crc >> 8);
    return hex + tail;
}

// The device's answer frame: ACK, STX, the 2-byte length prefix, the text, ETX.
std::string AnswerFrame(const std::string& text) {
    char prefix[5];
    std::snprintf(prefix, sizeof prefix, "%02X%02X", static_cast<unsigned>(text.size() & 0xFF),
                  static_cast<unsigned>(text.size() >> 8));
    return "\x06\x02"s + prefix + text + "\x03"s;
}

const std::string kDeviceModeFrame = "\x02"s + "1800" + "0A00000002000000000021C2" + "\x03"s;
const std::string kDeviceModeAnswer = "0C0000000200000000000100";

struct Buffers {
    std::uint8_t message[64] = {0x0A, 0, 0, 0, 0x02, 0, 0, 0, 0, 0};
    char request[(64 + 2) * 2 + 1] = {};
    char answer[(64 + 2) * 2 + 1] = {};
};

TEST_F(ComportTest, DeviceModeRequestEndToEnd) {
    peer_.Expect(kDeviceModeFrame).Reply(AnswerFrame(WithCrc(kDeviceModeAnswer))).Start();
    Buffers b;
    std::uint32_t length = 10;
    ASSERT_EQ(port_.Transfer(b.message, &length, 64, b.request, sizeof b.request, b.answer,
                             sizeof b.answer),
              0);
    EXPECT_EQ(length, 12u);
    const std::uint8_t expected[12] = {0x0C, 0, 0, 0, 0x02, 0, 0, 0, 0, 0, 0x01, 0};
    EXPECT_EQ(std::vector<std::uint8_t>(b.message, b.message + 12),
              std::vector<std::uint8_t>(expected, expected + 12));
    EXPECT_STREQ(b.answer, kDeviceModeAnswer.c_str());
}

// The same request goes out again after each refusal, with the retry pause in between.
TEST_F(ComportTest, TransferRetriesOverTheLine) {
    Reconfigure([](TSConnectParams& p) { p.Attempts = 3; });
    peer_.Expect(kDeviceModeFrame)
        .Reply("\x15")
        .Expect(kDeviceModeFrame)
        .Reply(AnswerFrame(WithCrc(kDeviceModeAnswer).replace(0, 2, "0D")))
        .Expect(kDeviceModeFrame)
        .Reply(AnswerFrame(WithCrc(kDeviceModeAnswer)))
        .Start();
    Buffers b;
    std::uint32_t length = 10;
    // The second answer fails only in Transfer's own checksum test, after the exchange itself
    // succeeded, so it is not retried.
    EXPECT_EQ(port_.Transfer(b.message, &length, 64, b.request, sizeof b.request, b.answer,
                             sizeof b.answer),
              0x60200015);
    EXPECT_EQ(length, 0u);
    std::uint32_t again = 10;
    Buffers c;
    EXPECT_EQ(port_.Transfer(c.message, &again, 64, c.request, sizeof c.request, c.answer,
                             sizeof c.answer),
              0);
    EXPECT_EQ(again, 12u);
    // PrefixDelay before each of the three requests, RetryDelay once after the NAK.
    EXPECT_EQ(pauses_, (std::vector<std::uint32_t>{1, 10, 1, 1}));
}

}  // namespace
}  // namespace veltrin::testsupport
