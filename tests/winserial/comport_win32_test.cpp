// The serial transport over the Win32 backend, on a COM port whose other end is a scripted
// device on the Linux side (wine-com-harness plays it; each test here has a peer script of the
// same name there). Run alone through the harness, never as a whole program.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "protocol/connecterrors.h"
#include "transport/clconnectcomport.h"

namespace veltrin {
namespace {

// The COM port the harness has linked to its device.
std::string LinkedPort() {
    const char* name = std::getenv("VELTRIN_TEST_COM_PORT");
    return name != nullptr ? name : "";
}

// An anonymous file in the user's temp folder that goes when it is closed.
std::FILE* TemporaryTraceFile() {
    wchar_t folder[MAX_PATH];
    wchar_t path[MAX_PATH];
    if (GetTempPathW(MAX_PATH, folder) == 0 || GetTempFileNameW(folder, L"vtr", 0, path) == 0)
        return nullptr;
    std::FILE* file = _wfopen(path, L"w+bD");
    return file;
}

class WinComportTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string name = LinkedPort();
        ASSERT_FALSE(name.empty()) << "VELTRIN_TEST_COM_PORT names no port";
        trace_ = TemporaryTraceFile();
        ASSERT_NE(trace_, nullptr);
        TSConnectParams p;
        port_.GetParams(p);
        // The update worker's framing and waits; a test shortens the wait it is about, so a
        // device side slowed down by a loaded machine is never taken for a silent one.
        p.TxLengthBytes = 2;
        p.RxLengthBytes = 2;
        p.AckTimeout = 3000;
        p.AnswerTimeout = 10000;
        p.TraceFile = trace_;
        std::strncpy(p.PortName, name.c_str(), sizeof(p.PortName) - 1);
        port_.SetParams(p);
        ASSERT_EQ(port_.Open(), CONNECT_OK);
    }
    void TearDown() override {
        EXPECT_EQ(port_.Close(), CONNECT_OK);
        if (trace_ != nullptr)
            std::fclose(trace_);
    }

    void SetTimeouts(std::uint32_t ack, std::uint32_t answer) {
        TSConnectParams p;
        port_.GetParams(p);
        p.AckTimeout = ack;
        p.AnswerTimeout = answer;
        port_.SetParams(p);
    }
    int Exchange(const std::string& request) {
        std::vector<char> buffer(request.begin(), request.end());
        buffer.push_back('\0');
        answer_.assign(64, 'Z');
        return port_.Transceive(buffer.data(), static_cast<std::uint32_t>(buffer.size()),
                                answer_.data(), static_cast<std::uint32_t>(answer_.size()));
    }
    // Up to the NUL, or the whole buffer when an exchange left it without one.
    std::string Answer() const {
        return std::string(answer_.data(), strnlen(answer_.data(), answer_.size()));
    }
    std::string Trace() {
        std::fflush(trace_);
        std::rewind(trace_);
        std::string text;
        char chunk[256];
        std::size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, trace_)) > 0)
            text.append(chunk, got);
        std::fseek(trace_, 0, SEEK_END);
        return text;
    }

    ClConnectComport port_;
    std::FILE* trace_ = nullptr;
    std::vector<char> answer_;
};

TEST_F(WinComportTest, WorkedExample) {
    EXPECT_EQ(Exchange("0102AB"), CONNECT_OK);
    EXPECT_EQ(Answer(), "AABBCCDD");
    // The CR LF translation of a text-mode file would show here.
    EXPECT_EQ(Trace(), "send: 0600 0102AB\nrecv: 0800AABBCCDD\n");
    // Opening the open port again does nothing; closing twice is fine too.
    EXPECT_EQ(port_.Open(), CONNECT_OK);
}

TEST_F(WinComportTest, Nak) {
    EXPECT_EQ(Exchange("01"), CONNECT_ERR_NAK);
    EXPECT_EQ(Answer(), "");
    EXPECT_EQ(Exchange("02"), CONNECT_OK);
    EXPECT_EQ(Answer(), "BEEF");
}

TEST_F(WinComportTest, Timeouts) {
    SetTimeouts(300, 10000);
    EXPECT_EQ(Exchange("01"), CONNECT_ERR_ACK_TIMEOUT);
    // The ACK and the start of the answer come in one piece, then nothing.
    SetTimeouts(10000, 300);
    EXPECT_EQ(Exchange("02"), CONNECT_ERR_ANSWER_TIMEOUT);
    EXPECT_EQ(Answer(), "");
    SetTimeouts(10000, 10000);
    EXPECT_EQ(Exchange("03"), CONNECT_OK);
    EXPECT_EQ(Answer(), "CAFE");
}

TEST_F(WinComportTest, HangUp) {
    // With a minute per byte, only a read that notices the hang-up lets the exchange end
    // within the test's time limit.
    SetTimeouts(60000, 60000);
    // The line may go before or after the ACK has been read: either phase fails as a read.
    const int first = Exchange("01");
    EXPECT_TRUE(first == CONNECT_ERR_ANSWER_TIMEOUT || first == CONNECT_ERR_ACK_TIMEOUT)
        << std::hex << first;
    EXPECT_EQ(Answer(), "");
    // The device has gone: the next request cannot go out, and says why in the system's terms
    // rather than as a protocol code.
    const int next = Exchange("02");
    EXPECT_NE(next, CONNECT_OK);
    EXPECT_FALSE(IsConnectionError(next)) << std::hex << next;
}

TEST_F(WinComportTest, WriteTimeout) {
    // A write is bounded by the answer time-out; past it the pending write is cancelled and the
    // exchange ends with the system's time-out error instead of hanging.
    TSConnectParams p;
    port_.GetParams(p);
    p.TxLengthBytes = 0;
    p.AnswerTimeout = 500;
    port_.SetParams(p);
    EXPECT_EQ(Exchange(std::string(1 << 20, 'A')), ERROR_TIMEOUT);
    EXPECT_EQ(Answer(), "");
}

// Needs no device: the port is registered, whatever its link points at.
TEST(WinComportListTest, ListsTheRegisteredPort) {
    const std::string name = LinkedPort();
    ASSERT_FALSE(name.empty()) << "VELTRIN_TEST_COM_PORT names no port";
    ClConnectComport port;
    std::vector<std::string> list = {"stale"};
    port.GetPortList(list);
    EXPECT_NE(std::find(list.begin(), list.end(), name), list.end())
        << testing::PrintToString(list);
    EXPECT_EQ(std::find(list.begin(), list.end(), "stale"), list.end());
}

// Needs no device: a port that does not exist.
TEST(WinComportOpenTest, MissingPortFailsToOpen) {
    ClConnectComport port;
    TSConnectParams p;
    port.GetParams(p);
    std::strncpy(p.PortName, "COM99", sizeof(p.PortName) - 1);
    port.SetParams(p);
    EXPECT_EQ(port.Open(), CONNECT_ERR_OPEN_PORT);
    EXPECT_EQ(port.Close(), CONNECT_OK);
}

}  // namespace
}  // namespace veltrin
