#pragma once

#include <string>
#include <string_view>

namespace veltrin {

// The name the serial transport opens a port under (ttyACM0, pts/7, COM12), from any of the
// spellings the system itself uses for that port: the device path /dev/ttyACM0 on Linux, the
// device namespace \\.\COM12 on Windows. Blanks around it are removed; a bare name stays as it is.
std::string BarePortName(std::string_view spelling);

// One key for every spelling of one port, so that two spellings are never taken for two ports:
// on Linux the device a link such as /dev/serial/by-id/... leads to, on Windows the bare name in
// capitals (the system does not tell COM12 from com12). A port that does not exist (any more)
// keys by its bare name.
std::string PortIdentity(std::string_view spelling);

}  // namespace veltrin
