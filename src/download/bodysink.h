#pragma once

#include <cstddef>
#include <cstdint>

namespace veltrin {

// Collects a body as it arrives and refuses more than the limit. It runs inside the HTTP
// library's callbacks, so nothing in it throws; a refusal is remembered as a result code.
class BodySink {
public:
    using AppendFunction = bool (*)(void* target, const char* data, std::size_t size);

    BodySink(std::uint64_t limit, void* target, AppendFunction append)
        : limit_(limit), target_(target), append_(append) {}

    // True when the bytes were taken; false after the first refusal.
    bool Append(const char* data, std::size_t size);

    std::uint64_t Received() const { return received_; }
    std::uint64_t Limit() const { return limit_; }
    // HTTPS_ERR_TOO_LARGE or HTTPS_ERR_SETUP (out of memory) once refused, else HTTPS_OK.
    int Refusal() const { return refusal_; }

private:
    std::uint64_t limit_;
    std::uint64_t received_ = 0;
    void* target_;
    AppendFunction append_;
    int refusal_ = 0;
};

}  // namespace veltrin
