#include "common/sleeper.h"

#include <chrono>
#include <thread>

namespace veltrin {

void SleepMilliseconds(std::uint32_t milliseconds) {
    if (milliseconds > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

SleepFunction RealSleeper() {
    return &SleepMilliseconds;
}

}  // namespace veltrin
