#pragma once

#include <string>

namespace veltrin {

// The trace file of one device of a run of several: FILE's name with the port added before its
// extension ("logs/trace.txt" and "pts/7" give "logs/trace-pts_7.txt"). The port's characters
// other than ASCII letters and digits become '_', with none at either end, so "/dev/ttyACM0"
// gives "dev_ttyACM0" and "\\.\COM12" gives "COM12".
std::string TraceFileForPort(const std::string& traceFile, const std::string& port);

// Whether the trace file can be written, found out before the run rather than by a trace that
// silently stays empty. Leaves an existing file as it is and creates none; error says why not.
bool CanWriteTraceFile(const std::string& traceFile, std::string& error);

}  // namespace veltrin
