#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace veltrin {

// Collects a body as it arrives and refuses more than the limit, or anything after the
// deadline of the whole fetch: every backend and the file reader pass their bytes through
// here, so one place ends a fetch that trickles on for ever. It runs inside the HTTP library's
// callbacks, so nothing in it throws; a refusal is remembered as a result code.
class BodySink {
public:
    using AppendFunction = bool (*)(void* target, const char* data, std::size_t size);
    using Clock = std::chrono::steady_clock;

    BodySink(std::uint64_t limit, void* target, AppendFunction append,
             Clock::time_point deadline = Clock::time_point::max())
        : limit_(limit), target_(target), append_(append), deadline_(deadline) {}

    // True when the bytes were taken; false after the first refusal.
    bool Append(const char* data, std::size_t size);

    std::uint64_t Received() const { return received_; }
    std::uint64_t Limit() const { return limit_; }
    // HTTPS_ERR_TOO_LARGE, HTTPS_ERR_TIMEOUT (deadline passed) or HTTPS_ERR_SETUP (out of
    // memory) once refused, else HTTPS_OK.
    int Refusal() const { return refusal_; }

private:
    std::uint64_t limit_;
    std::uint64_t received_ = 0;
    void* target_;
    AppendFunction append_;
    Clock::time_point deadline_;
    int refusal_ = 0;
};

}  // namespace veltrin
