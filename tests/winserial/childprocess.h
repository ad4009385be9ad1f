#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace veltrin::winserial {

struct ChildResult {
    bool Started = false;
    bool TimedOut = false;
    int ExitStatus = -1;  // the program's exit code; -1 when it did not exit normally
};

// Runs the program (argv[0] searched in PATH) with these arguments and waits for it, at most
// until the time limit; then its whole process group is killed, so that a hanging Wine
// program cannot keep the test running.
ChildResult RunChild(const std::vector<std::string>& argv, std::chrono::seconds limit);

}  // namespace veltrin::winserial
