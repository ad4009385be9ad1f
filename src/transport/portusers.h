#pragma once

#include <string>
#include <vector>

#include "transport/portlock.h"

namespace veltrin {

// The other processes that have the port open, as far as the system lets this user see (on
// Linux a scan of /proc, which shows another user's processes only to root); empty where the
// system does not say. Best effort: for a message, never for a decision.
std::vector<PortLockHolder> ProgramsUsingPort(const std::string& portName);

}  // namespace veltrin
