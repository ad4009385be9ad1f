#include "owners/ownerhandlers.h"

#include "common/printabletext.h"
#include "common/texttrim.h"
#include "engine/devicefamily.h"
#include "engine/updateresult.h"
#include "transport/portlock.h"

namespace veltrin {

void CopyFirmwareInto(const UpdateData& data, TSThreadParams& params) {
    params.HexQuorvanOtg = data.HexQuorvanOtg;
    params.VersionQuorvanOtg = data.VersionQuorvanOtg;
    params.HexTarnovelleK7 = data.HexTarnovelleK7;
    params.VersionTarnovelleK7 = data.VersionTarnovelleK7;
}

void LookupVariantInto(const VariantLookupFunction& lookup, TSThreadParams& params) {
    ClearDeviceRecordImages(params.DeviceParamsA, params.DeviceParamsB);
    bool found = false;
    if (lookup) {
        found = lookup(params.VariantId, params.DeviceParamsA, params.DeviceParamsB);
    }
    // A lookup that fails half-way must not leave half a record to be written to the device.
    if (!found) {
        ClearDeviceRecordImages(params.DeviceParamsA, params.DeviceParamsB);
    }
    params.EventAnswer = found ? 1 : 0;
}

std::string ReleaseVersionFor(const UpdateData& data, int deviceType) {
    const std::string* version = IsQuorvanOtgType(deviceType)     ? &data.VersionQuorvanOtg
                                 : IsTarnovelleK7Type(deviceType) ? &data.VersionTarnovelleK7
                                                                  : nullptr;
    if (version == nullptr)
        return {};
    const std::string prefix = "Version ";
    return TrimText(version->rfind(prefix, 0) == 0 ? version->substr(prefix.size()) : *version);
}

void ReportBusyPorts(const TSThreadParams& params, std::ostream& err) {
    if (params.ResultCode != kUpdatePortInUse)
        return;
    for (const TSBusyPort& busy : params.BusyPorts) {
        if (!busy.LockFault.empty()) {
            err << "veltrin-cli: " << PrintableText(busy.Port)
                << " cannot be used: its lock cannot be taken: " << PrintableText(busy.LockFault)
                << "; the port was not touched.\n";
            continue;
        }
        PortLockHolder holder;
        holder.ProcessId = busy.HolderProcessId;
        holder.Program = busy.HolderProgram;
        err << "veltrin-cli: " << PrintableText(busy.Port) << " is in use by another update run ("
            << PrintableText(PortLockHolderText(holder))
            << "); the port was not touched. Start again when "
            << "that run has ended.\n";
    }
}

}  // namespace veltrin
