#pragma once

#include <string>
#include <vector>

namespace veltrin {

// The serial ports below a sysfs tty class directory (normally /sys/class/tty) that have
// hardware behind them, in natural order. ListSerialPorts() reads the system's own directory;
// tests pass a tree of their own.
std::vector<std::string> ListSerialPortsUnder(const std::string& classDirectory);

}  // namespace veltrin
