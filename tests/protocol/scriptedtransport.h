#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "protocol/clconnect.h"

namespace veltrin::testing {

// Hex text of bytes followed by their CRC-16/ARC, least significant byte first.
inline std::string FrameText(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    char pair[3];
    for (std::uint8_t b : bytes) {
        std::snprintf(pair, sizeof pair, "%02X", b);
        text += pair;
    }
    const std::uint32_t n = static_cast<std::uint32_t>(bytes.size());
    const std::uint16_t crc = ClConnect::Crc16(0, bytes.data(), n, n);
    std::snprintf(pair, sizeof pair, "%02X", crc & 0xFF);
    text += pair;
    std::snprintf(pair, sizeof pair, "%02X", crc >> 8);
    text += pair;
    return text;
}

// The bytes of a request text, without its 4 checksum characters.
inline std::vector<std::uint8_t> RequestBytes(const std::string& text) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 4 < text.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(text.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

// An answer message: the length field, zeros, the status word and the given result bytes.
inline std::vector<std::uint8_t> Answer(std::vector<std::uint8_t> results,
                                        std::uint16_t status = 0) {
    std::vector<std::uint8_t> bytes(10 + results.size(), 0);
    std::copy(results.begin(), results.end(), bytes.begin() + 10);
    bytes[0] = static_cast<std::uint8_t>(bytes.size());
    bytes[1] = static_cast<std::uint8_t>(bytes.size() >> 8);
    bytes[8] = static_cast<std::uint8_t>(status);
    bytes[9] = static_cast<std::uint8_t>(status >> 8);
    return bytes;
}

// A transport whose exchanges are scripted and recorded. Each Transceive takes the next reply;
// with none left it answers a bare success message.
class ScriptedTransport : public ClConnect {
public:
    struct Reply {
        int result;
        std::string text;
    };

    explicit ScriptedTransport(std::vector<std::string>* log = nullptr, const char* name = "")
        : log_(log), name_(name) {
        TSConnectParams params;
        params.TxChecksum = kChecksumCrc16Arc;
        params.RxChecksum = kChecksumCrc16Arc;
        params.Attempts = 1;
        SetParams(params);
    }
    ~ScriptedTransport() override {
        if (log_ != nullptr)
            log_->push_back(std::string(name_) + " destroyed");
    }

    void AnswerWith(const std::vector<std::uint8_t>& bytes) {
        replies.push_back({0, FrameText(bytes)});
    }

    int Open() override {
        ++opens;
        Connected = 1;
        return openResult;
    }
    int Close() override {
        ++closes;
        Connected = 0;
        return 0;
    }
    void GetPortList(std::vector<std::string>& list) override {
        list.push_back(std::string(name_) + "0");
    }
    int Transceive(const char* request, std::uint32_t, char* answer,
                   std::uint32_t answerSize) override {
        requests.emplace_back(request);
        std::memset(answer, 0, answerSize);
        Reply reply = replies.empty() ? Reply{0, FrameText(Answer({}))} : replies.front();
        if (!replies.empty())
            replies.pop_front();
        std::strncpy(answer, reply.text.c_str(), answerSize - 1);
        return reply.result;
    }

    // The bytes of the last request.
    std::vector<std::uint8_t> LastRequest() const {
        return requests.empty() ? std::vector<std::uint8_t>{} : RequestBytes(requests.back());
    }

    std::deque<Reply> replies;
    std::vector<std::string> requests;
    int opens = 0;
    int closes = 0;
    int openResult = 0;

private:
    std::vector<std::string>* log_;
    const char* name_;
};

}  // namespace veltrin::testing
