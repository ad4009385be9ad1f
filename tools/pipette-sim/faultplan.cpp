#include "faultplan.h"

#include <utility>

namespace veltrin {
namespace {

bool Matches(const SimFault& fault, int command, int memoryType) {
    if (fault.Command < 0)
        return true;
    if (fault.Command != command)
        return false;
    return fault.MemoryType < 0 || fault.MemoryType == memoryType;
}

bool Fires(const SimFault& fault, std::uint32_t count) {
    if (count < fault.Occurrence)
        return false;
    return fault.Repeat == 0 || count - fault.Occurrence < fault.Repeat;
}

}  // namespace

SimFaultPlan::SimFaultPlan(std::vector<SimFault> faults)
    : faults_(std::move(faults)), counts_(faults_.size(), 0) {}

std::optional<SimFault> SimFaultPlan::Next(int command, int memoryType) {
    std::optional<SimFault> hit;
    for (std::size_t i = 0; i < faults_.size(); ++i) {
        if (!Matches(faults_[i], command, memoryType))
            continue;
        ++counts_[i];
        if (!hit && Fires(faults_[i], counts_[i]))
            hit = faults_[i];
    }
    return hit;
}

}  // namespace veltrin
