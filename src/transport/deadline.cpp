#include "transport/deadline.h"

#include <limits>

namespace veltrin {

Deadline::Deadline(std::uint32_t milliseconds)
    : unbounded_(milliseconds == 0), end_(Clock::now() + std::chrono::milliseconds(milliseconds)) {}

bool Deadline::Expired() const {
    return !unbounded_ && Clock::now() >= end_;
}

int Deadline::RemainingMs() const {
    if (unbounded_)
        return -1;
    const auto left = end_ - Clock::now();
    if (left <= Clock::duration::zero())
        return 0;
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return ms > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                : static_cast<int>(ms);
}

}  // namespace veltrin
