#pragma once

#include <chrono>
#include <cstdint>

namespace veltrin {

// The time left of one bounded wait. A bound of 0 ms means no bound at all, which is how the
// port's read and write time-outs define 0.
class Deadline {
public:
    explicit Deadline(std::uint32_t milliseconds);

    bool Unbounded() const { return unbounded_; }
    bool Expired() const;
    // Milliseconds left, rounded up so that a wait never ends early; -1 when unbounded, the way
    // poll() takes it.
    int RemainingMs() const;

private:
    using Clock = std::chrono::steady_clock;
    bool unbounded_;
    Clock::time_point end_;
};

}  // namespace veltrin
