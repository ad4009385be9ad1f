#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "simoptions.h"

namespace veltrin {

// Decides, frame by frame, which injected fault (if any) hits the exchange. Every rule counts
// the frames it matches, also while another rule fires; the first rule that fires wins.
class SimFaultPlan {
public:
    explicit SimFaultPlan(std::vector<SimFault> faults = {});

    // command is -1 for a frame that could not be decoded; memoryType is -1 for requests that
    // carry none (WriteMemory and ReadMemoryInfo carry one).
    std::optional<SimFault> Next(int command, int memoryType);

private:
    std::vector<SimFault> faults_;
    std::vector<std::uint32_t> counts_;
};

}  // namespace veltrin
