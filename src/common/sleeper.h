#pragma once

#include <cstdint>
#include <functional>

namespace veltrin {

// Every deliberate pause of the program (retry delays, restart countdowns, the pause for a
// skipped block) goes through one of these, so tests can count pauses or let time run fast.
using SleepFunction = std::function<void(std::uint32_t milliseconds)>;

// Sleeps for real on the calling thread.
void SleepMilliseconds(std::uint32_t milliseconds);

// The production sleeper: SleepMilliseconds.
SleepFunction RealSleeper();

}  // namespace veltrin
