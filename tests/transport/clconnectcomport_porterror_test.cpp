// Which result each kind of port failure gives. A pseudo-terminal cannot fail on command at
// every step, so a port object that does stands in for it here.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "transport/clconnectcomport.h"

namespace veltrin {
namespace {

enum class Step {
    kNone,
    kDiscard,
    kWaitWrite,
    kPurge,
    kWriteByte,
    kWriteText,
    kReadAck,
    kReadAnswer
};

class FailingPort : public SerialPort {
public:
    FailingPort(Step failAt, int code) : failAt_(failAt), code_(code) {}
    void SetName(std::string_view) override {}
    void SetBaudRate(std::uint32_t) override {}
    void SetByteSize(std::int32_t) override {}
    void SetStopBits(std::uint32_t) override {}
    void SetParity(std::uint32_t) override {}
    int Open() override { return 0; }
    int Close() override { return 0; }
    bool IsOpen() const override { return true; }
    int DiscardInput() override { return At(Step::kDiscard); }
    int PurgeOutput() override { return At(Step::kPurge); }
    int WaitWriteComplete() override { return At(Step::kWaitWrite); }
    void SetWriteTimeout(std::uint32_t) override {}
    int WriteByte(std::uint8_t) override { return At(Step::kWriteByte); }
    int WriteText(const char*, std::size_t) override { return At(Step::kWriteText); }
    int SetReadTimeout(std::uint32_t) override { return 0; }
    int ReadByte(std::uint8_t& byte) override {
        byte = 0x06;
        return At(Step::kReadAck);
    }
    int ReadUntil(std::uint8_t, std::string& text, std::size_t) override {
        text =
            "\x02"
            "ABCD"
            "\x03";
        return At(Step::kReadAnswer);
    }

private:
    int At(Step step) const { return step == failAt_ ? code_ : 0; }
    Step failAt_;
    int code_;
};

struct Case {
    const char* name;
    Step failAt;
    int code;
    int expected;
};

class PortErrorTest : public ::testing::TestWithParam<Case> {};

TEST_P(PortErrorTest, ResultAndZeroedAnswer) {
    const Case& k = GetParam();
    ClConnectComport port(std::make_unique<FailingPort>(k.failAt, k.code));
    char answer[16];
    std::memset(answer, 'Z', sizeof answer);
    EXPECT_EQ(port.Transceive("0102AB", 7, answer, sizeof answer), k.expected);
    if (k.expected == 0) {
        EXPECT_STREQ(answer, "ABCD");
    } else {
        for (char c : answer)
            EXPECT_EQ(c, '\0');
    }
}

INSTANTIATE_TEST_SUITE_P(
    Serial, PortErrorTest,
    ::testing::Values(Case{"Works", Step::kNone, 0, 0},
                      // Going out, the port's own error number is the result.
                      Case{"DiscardFails", Step::kDiscard, EIO, EIO},
                      Case{"WriteNeverCompletes", Step::kWaitWrite, ETIMEDOUT, ETIMEDOUT},
                      Case{"PurgeFails", Step::kPurge, EIO, EIO},
                      Case{"WriteByteFails", Step::kWriteByte, ENXIO, ENXIO},
                      Case{"WriteTextFails", Step::kWriteText, EIO, EIO},
                      // Coming back, any failure is the device not answering in that phase.
                      Case{"AckReadFails", Step::kReadAck, EIO, 0x60200210},
                      Case{"AnswerReadFails", Step::kReadAnswer, EIO, 0x60200006},
                      Case{"AnswerNeverEnds", Step::kReadAnswer, SerialPort::kReadLimitReached,
                           0x6020000A}),
    [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

}  // namespace
}  // namespace veltrin
