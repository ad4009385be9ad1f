#pragma once

#include <string>
#include <vector>

#include "simoptions.h"

namespace veltrin {

// What the pipette-sim program was asked to do.
struct SimProgramSettings {
    SimOptions Options;
    std::string LogFile;  // request log, one line per frame; empty = none
    std::string DumpDir;  // memories and records written here on exit; empty = none
    bool Help = false;
};

// The program's defaults differ from the library's in one place: a restart keeps the device
// silent for 2 s, closer to a real pipette than the 200 ms that keeps test suites fast.
SimProgramSettings DefaultProgramSettings();

// Parses the arguments after the program name. false with a one-line reason on a bad argument.
bool ParseCommandLine(const std::vector<std::string>& args, SimProgramSettings& settings,
                      std::string& error);

// Parses one fault: KIND[:key=value,...], KIND one of nak, garbage, checksum, status, silence,
// hangup, short, no-etx; keys at (N-th matching frame), command (name or code), memory (number
// or name), repeat (0 = for ever), status (for KIND status), length (for short and no-etx).
bool ParseFault(const std::string& text, SimFault& fault, std::string& error);

std::string UsageText();

}  // namespace veltrin
