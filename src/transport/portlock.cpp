#include <cstdio>
#include <cstdlib>

#include "transport/portlock.h"

namespace veltrin {

std::string PortLockHolderText(const PortLockHolder& holder) {
    if (!holder.LockFault.empty())
        return "its lock cannot be taken: " + holder.LockFault;
    if (holder.ProcessId == 0)
        return "another program";
    const std::string process = "process " + std::to_string(holder.ProcessId);
    return holder.Program.empty() ? process : holder.Program + ", " + process;
}

}  // namespace veltrin
