#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "support/ptypair.h"
#include "support/scriptedpeer.h"
#include "transport/clconnectcomport.h"

namespace veltrin::testsupport {

inline constexpr char kStx = 0x02;
inline constexpr char kEtx = 0x03;
inline constexpr char kAck = 0x06;
inline constexpr char kNak = 0x15;

// The update worker's line settings, with waits short enough for a fast suite.
TSConnectParams WorkerLikeParams(const std::string& portName);

// A ClConnectComport opened on the slave side of a fresh pseudo-terminal, a scripted device on
// its master side, a trace file and a record of every pause the connection asks for.
class ComportTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Changes settings of the open connection; an exchange reads them afresh.
    void Reconfigure(const std::function<void(TSConnectParams&)>& change);
    // One Transceive with the request in a buffer one byte longer than its text. The answer
    // buffer is filled with 'Z' first, so tests can see what the exchange left in it.
    int Exchange(const std::string& request, std::size_t answerSize = 64);
    // The answer up to its NUL, or the whole buffer when it has none.
    std::string AnswerText() const {
        return std::string(answer_.data(), strnlen(answer_.data(), answer_.size()));
    }
    bool AnswerIsZeroed() const;
    std::string Trace();

    PtyPair pty_;
    ScriptedPeer peer_{pty_, std::chrono::seconds(5)};
    ClConnectComport port_;
    std::vector<char> answer_;
    std::vector<std::uint32_t> pauses_;
    std::FILE* trace_ = nullptr;
};

}  // namespace veltrin::testsupport
