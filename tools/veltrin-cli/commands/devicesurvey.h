#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "protocol/clconnectpipetten.h"

namespace veltrin {

// What a port's device says about itself before an update: its type, the version of its
// application (version text 0) and its info text. Type 0 and empty texts where nothing answered.
struct DeviceSurvey {
    std::string Port;
    int Type = 0;
    std::string Version;
    std::string Info;
};

// A device text up to its first zero byte (a version block's version, "01.00.00"), decoded as
// every device text is and trimmed.
std::string FirstDeviceField(const std::array<std::uint8_t, kVersionTextSize>& bytes);

// Asks every port at once with the probe every search uses (ProbePortsAtOnce), reading the
// device's texts too; the results come back in the order of ports.
std::vector<DeviceSurvey> SurveyPortsAtOnce(const std::vector<std::string>& ports);

}  // namespace veltrin
