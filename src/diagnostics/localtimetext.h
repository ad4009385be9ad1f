#pragma once

#include <ctime>
#include <string>

namespace veltrin {

// The local time of day of a moment in the system's long time format (for example "14:03:27").
// One implementation per operating system.
std::string LocalTimeOfDayText(std::time_t moment);

}  // namespace veltrin
