#include "transport/portaccess.h"

namespace veltrin {

// Windows grants every user access to serial ports; an open that fails is reported as such.
std::string PortAccessProblem(const std::string& /*portName*/) {
    return {};
}

}  // namespace veltrin
