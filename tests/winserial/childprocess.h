#pragma once

#include <chrono>
#include <functional>
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
// program cannot keep the test running. With onLine, the program's standard output goes to it
// line by line (without the line end) while the program runs.
ChildResult RunChild(const std::vector<std::string>& argv, std::chrono::seconds limit,
                     const std::function<void(const std::string&)>& onLine = {});

}  // namespace veltrin::winserial
