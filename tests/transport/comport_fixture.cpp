#include "comport_fixture.h"

#include <algorithm>
#include <cstring>

namespace veltrin::testsupport {

TSConnectParams WorkerLikeParams(const std::string& portName) {
    TSConnectParams p;
    p.TxChecksum = kChecksumCrc16Arc;
    p.RxChecksum = kChecksumCrc16Arc;
    p.TxLengthBytes = 2;
    p.RxLengthBytes = 2;
    p.Attempts = 1;
    p.StxCount = 1;
    p.PrefixDelay = 1;
    p.RetryDelay = 10;
    p.AckTimeout = 200;
    p.AnswerTimeout = 200;
    p.BaudRate = 230400;
    p.DataBits = 8;
    p.StopBits = 0;
    p.Parity = 0;
    std::strncpy(p.PortName, portName.c_str(), sizeof(p.PortName) - 1);
    return p;
}

void ComportTest::SetUp() {
    ASSERT_TRUE(pty_.Ok()) << pty_.Error();
    ASSERT_LT(pty_.PortName().size(), sizeof(TSConnectParams::PortName));
    trace_ = std::tmpfile();
    ASSERT_NE(trace_, nullptr);
    TSConnectParams p = WorkerLikeParams(pty_.PortName());
    p.TraceFile = trace_;
    port_.SetParams(p);
    port_.SetSleeper([this](std::uint32_t ms) { pauses_.push_back(ms); });
    ASSERT_EQ(port_.Open(), 0);
}

void ComportTest::TearDown() {
    port_.Close();
    peer_.Stop();
    for (const std::string& failure : peer_.Failures())
        ADD_FAILURE() << "device: " << failure;
    if (trace_ != nullptr)
        std::fclose(trace_);
}

void ComportTest::Reconfigure(const std::function<void(TSConnectParams&)>& change) {
    TSConnectParams p;
    port_.GetParams(p);
    change(p);
    port_.SetParams(p);
}

int ComportTest::Exchange(const std::string& request, std::size_t answerSize) {
    std::vector<char> requestBuffer(request.begin(), request.end());
    requestBuffer.push_back('\0');
    answer_.assign(std::max<std::size_t>(answerSize, 1), 'Z');
    return port_.Transceive(requestBuffer.data(), static_cast<std::uint32_t>(requestBuffer.size()),
                            answer_.data(), static_cast<std::uint32_t>(answerSize));
}

bool ComportTest::AnswerIsZeroed() const {
    return std::all_of(answer_.begin(), answer_.end(), [](char c) { return c == '\0'; });
}

std::string ComportTest::Trace() {
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

}  // namespace veltrin::testsupport
