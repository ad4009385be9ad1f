#pragma once

#include <string>

#include "pipettesimulator.h"

namespace veltrin {

// One line of the request log, e.g.
// "    12.345 #7 WriteMemory len=4116 status=0x0000 mode=2 answered".
std::string FormatRequestLine(const SimRequest& request);

// A readable summary of the device state: one "key: value" line each.
std::string FormatStateText(const SimDeviceState& state);

// Writes what the device holds into a folder: state.txt, the four records (*.bin), each
// memory's written spans (memory-<name>.txt and memory-<name>-<ADDRESS>.bin), blocks.txt and
// requests.txt. Creates the folder. 0 or an error number; error names the failing path.
int WriteDump(const std::string& folder, const PipetteSimulator& sim, std::string& error);

}  // namespace veltrin
