#pragma once

#include <string>
#include <vector>

namespace veltrin {

// The program's command-line arguments after its own name, as UTF-8 texts. On Windows they come
// from the wide command line: argv holds them in the ANSI code page, which cannot carry every
// character of a file name. One implementation per operating system.
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace veltrin
