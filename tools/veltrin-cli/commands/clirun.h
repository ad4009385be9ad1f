#pragma once

#include <string>
#include <vector>

#include "output/cliio.h"

namespace veltrin {

// Runs veltrin-cli with the arguments after the program name; returns its exit status.
// Never throws.
int RunCli(const std::vector<std::string>& args, CliIo& io, const CliEnvironment& environment = {});

}  // namespace veltrin
