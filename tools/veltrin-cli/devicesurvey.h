#pragma once

#include <string>
#include <vector>

namespace veltrin {

// What a port's device says about itself before an update: its type, the version of its
// application (version text 0) and its info text. Type 0 and empty texts where nothing answered.
struct DeviceSurvey {
    std::string Port;
    int Type = 0;
    std::string Version;
    std::string Info;
};

// Asks every port at once, each on its own connection and thread, with the update worker's
// settings; the results come back in the order of ports.
std::vector<DeviceSurvey> SurveyPortsAtOnce(const std::vector<std::string>& ports);

}  // namespace veltrin
