#pragma once

#include <cstdint>

namespace veltrin {

// A restarted device answers on its port again only after this many seconds.
constexpr std::uint16_t kRestartCountdownSeconds = 10;

// The action shown once every module is written, while the new application is started; the
// overall bar starts over after it, so an owner takes it as the end of the writing.
inline constexpr char kStartApplicationAction[] = "Start application ...";

// Answers of ReadDeviceMode.
constexpr int kApplicationMode = 1;
constexpr int kBootloaderMode = 2;

}  // namespace veltrin
