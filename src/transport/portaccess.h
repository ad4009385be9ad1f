#pragma once

#include <string>

namespace veltrin {

// When the serial port exists but this user may not open it (on Linux: not in the group that
// owns the device, usually "dialout"), a one-line explanation with the fix; otherwise empty.
std::string PortAccessProblem(const std::string& portName);

}  // namespace veltrin
