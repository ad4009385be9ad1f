#pragma once

#include <string>
#include <vector>

#include "engine/threadparams.h"

namespace veltrin {

// After a search that found no device it could use (no device, or only ports in use): one line
// per asked port that says what stood in the way there, for a person to act on. Ports in use by
// another run are left out: ReportBusyPorts names them. Empty for any other end.
std::vector<std::string> PortFindingLines(const TSThreadParams& params);

// The "What to do" line for a run refused because its pipette's port is in use (held by another
// run, or its lock cannot be taken); empty where that is not why the run ended.
std::string PortInUseAdvice(const TSThreadParams& params);

}  // namespace veltrin
