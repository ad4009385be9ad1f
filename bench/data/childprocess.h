#pragma once

#include <string>
#include <vector>

namespace veltrin::bench {

struct ChildRun {
    bool Ok = false;  // started and exited with status 0
    double WallMilliseconds = 0;
    double PeakRssMegabytes = 0;  // the child's own peak resident set
};

// Runs a program with arguments (looked up in PATH), its output thrown away, and measures it.
ChildRun RunChild(const std::vector<std::string>& argv);

}  // namespace veltrin::bench
