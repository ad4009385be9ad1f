#pragma once

#include <string>
#include <vector>

#include "engine/threadparams.h"

namespace veltrin {

// After a search that found no device it could use (no device, or only ports in use): one line
// per asked port that says what stood in the way there, for a person to act on. Ports in use by
// another run are left out: ReportBusyPorts names them. Empty for any other end.
std::vector<std::string> PortFindingLines(const TSThreadParams& params);

// What stood in the way of an update on the port of the finding, in words ("no such port",
// "no answer (...)"); the text of PortFindingLines after the port's name.
std::string PortCauseText(const TSPortFinding& finding);

// The "What to do" line for a run refused because its pipette's port is in use (held by another
// run, or its lock cannot be taken); empty where that is not why the run ended.
std::string PortInUseAdvice(const TSThreadParams& params);

}  // namespace veltrin
