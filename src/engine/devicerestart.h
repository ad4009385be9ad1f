#pragma once

#include <cstdint>

namespace veltrin {

// A restarted device answers on its port again only after this many seconds.
constexpr std::uint16_t kRestartCountdownSeconds = 10;

// Answers of ReadDeviceMode.
constexpr int kApplicationMode = 1;
constexpr int kBootloaderMode = 2;

}  // namespace veltrin
