#include "output/portfindings.h"

#include "common/printabletext.h"
#include "engine/portcause.h"
#include "engine/updateresult.h"
#include "protocol/connectparams.h"
#include "protocol/devicetypes.h"
#include "transport/portaccess.h"
#include "transport/portlock.h"

namespace veltrin {

namespace {

std::string UsersText(const std::vector<TSBusyPort>& users) {
    if (users.empty())
        return "another program";
    std::string text;
    for (const TSBusyPort& user : users) {
        if (!text.empty())
            text += "; ";
        text += PortLockHolderText({user.HolderProcessId, user.HolderProgram, {}});
    }
    return text;
}

}  // namespace

std::string PortCauseText(const TSPortFinding& finding) {
    switch (finding.Cause) {
        case kPortCauseMissing:
            return "no such port";
        case kPortCauseNoPermission: {
            const std::string problem = PortAccessProblem(finding.Port);
            return problem.empty() ? "no permission: this user may not open the port" : problem;
        }
        case kPortCauseHeldByProgram:
            return "held by another program (" + UsersText(finding.Users) + ")";
        case kPortCauseNoAnswer:
            return "no answer (" + finding.ResultText + ")";
        case kPortCauseUnsupported:
            return "a device of an unsupported type (device type " +
                   std::to_string(finding.DeviceType) + ", " + DeviceTypeText(finding.DeviceType) +
                   ")";
        case kPortCauseNameTooLong:
            return "name longer than " + std::to_string(kPortNameSize - 1) + " characters";
        default:
            return "cannot be opened (" + finding.ResultText + ")";
    }
}

std::vector<std::string> PortFindingLines(const TSThreadParams& params) {
    std::vector<std::string> lines;
    if (params.ResultCode != kUpdateNoDevice && params.ResultCode != kUpdatePortInUse)
        return lines;
    for (const TSPortFinding& finding : params.SearchedPorts) {
        if (finding.Cause == kPortCauseDevice || finding.Cause == kPortCauseHeldByRun ||
            finding.Cause == kPortCauseLockRefused) {
            continue;
        }
        lines.push_back(PrintableText(finding.Port) + ": " + PrintableText(PortCauseText(finding)));
    }
    return lines;
}

std::string PortInUseAdvice(const TSThreadParams& params) {
    if (params.ResultCode != kUpdatePortInUse || params.BusyPorts.empty())
        return {};
    for (const TSBusyPort& busy : params.BusyPorts) {
        if (!busy.LockFault.empty()) {
            return "What to do: the port's lock is broken (see above); have it removed, then "
                   "start the update again.";
        }
    }
    return "What to do: another update run has this pipette; wait until it has ended, then "
           "start again if it still needs an update.";
}

}  // namespace veltrin
