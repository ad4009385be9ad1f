#include "engine/portcause.h"

#include "engine/devicefamily.h"
#include "engine/parallelprobe.h"
#include "engine/threadparams.h"
#include "protocol/connectparams.h"
#include "transport/portopenfault.h"
#include "transport/portusers.h"

namespace veltrin {

namespace {

int OpenFailureCause(const std::string& name) {
    int systemError = 0;
    switch (DiagnosePortOpen(name, systemError)) {
        case kPortOpenFaultMissing:
            return kPortCauseMissing;
        case kPortOpenFaultNoPermission:
            return kPortCauseNoPermission;
        case kPortOpenFaultHeld:
            return kPortCauseHeldByProgram;
        default:
            return kPortCauseCannotOpen;
    }
}

}  // namespace

void ExplainProbe(const std::string& name, PortProbe& probe) {
    try {
        if (probe.InUse) {
            probe.Cause =
                probe.Holder.LockFault.empty() ? kPortCauseHeldByRun : kPortCauseLockRefused;
        } else if (name.size() >= kPortNameSize) {
            probe.Cause = kPortCauseNameTooLong;
        } else if (!probe.Opened) {
            probe.Cause = OpenFailureCause(name);
            if (probe.Cause == kPortCauseHeldByProgram)
                probe.Users = ProgramsUsingPort(name);
        } else if (probe.ResultCode != 0) {
            // A program that reads the port takes the device's answers before we see them.
            probe.Users = ProgramsUsingPort(name);
            probe.Cause = probe.Users.empty() ? kPortCauseNoAnswer : kPortCauseHeldByProgram;
        } else {
            probe.Cause = IsSupportedType(probe.Type) ? kPortCauseDevice : kPortCauseUnsupported;
        }
    } catch (...) {
        // No memory for the words: the port stays without its reason.
        probe.Users.clear();
    }
}

TSPortFinding PortFindingOf(const std::string& name, const PortProbe& probe) {
    TSPortFinding finding;
    finding.Port = name;
    finding.Cause = probe.Cause;
    finding.DeviceType = probe.Type;
    finding.ResultText = probe.ResultText;
    for (const PortLockHolder& user : probe.Users)
        finding.Users.push_back({name, user.ProcessId, user.Program, {}});
    return finding;
}

}  // namespace veltrin
