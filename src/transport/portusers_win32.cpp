#include "transport/portusers.h"

namespace veltrin {

// Windows names no holder of a device; the message says "another program".
std::vector<PortLockHolder> ProgramsUsingPort(const std::string& /*portName*/) {
    return {};
}

}  // namespace veltrin
