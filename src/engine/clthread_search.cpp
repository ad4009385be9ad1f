#include <string>
#include <vector>

#include "common/texttrim.h"
#include "engine/clthreadimpl.h"
#include "engine/devicefamily.h"
#include "engine/parallelprobe.h"
#include "engine/portcause.h"
#include "engine/updateresult.h"
#include "transport/portlock.h"
#include "transport/portname.h"

namespace veltrin {

void ClTreadImpl::SelectPort(const std::string& name) {
    TSConnectParams params;
    connection_->GetParams(params);
    const std::string trimmed = TrimText(name);
    // A name cut to fit the field could be another port's name; one that does not fit is left
    // empty, which no port opens under, so the probe finds no device there.
    textConvert_->TextToBuffer(params.PortName, sizeof(params.PortName),
                               trimmed.size() < sizeof(params.PortName) ? trimmed : std::string(),
                               true);
    connection_->SetParams(params);
}

PortProbe ClTreadImpl::ProbePortClaimed(const std::string& name) {
    return ProbeClaimedPort(
        *connection_, name,
        [this, &name] {
            SelectPort(name);
            return 0;
        },
        ProbeReads::DeviceId);
}

std::vector<PortProbe> ClTreadImpl::ProbePortsInTurn(const std::vector<std::string>& names) {
    std::vector<PortProbe> probes;
    for (std::size_t j = 0; j < names.size(); ++j) {
        probes.push_back(ProbePortClaimed(names[j]));
        SetActionPosition(static_cast<std::int32_t>(j + 1));
    }
    return probes;
}

std::vector<PortProbe> ClTreadImpl::ProbePortsTogether(const std::vector<std::string>& names) {
    TSConnectParams connection;
    connection_->GetParams(connection);
    return ProbePortsAtOnce(
        settings_.MakeCommandSet, names, connection, settings_.Sleeper,
        [this](std::size_t finished) { SetActionPosition(static_cast<std::int32_t>(finished)); });
}

int ClTreadImpl::SearchDevice(int& type, std::string& port) {
    std::vector<std::string> names;
    SetActionPosition(0);
    ShowAction("Search available devices ...");
    if (settings_.OverridePorts) {
        names = settings_.Ports;
    } else {
        connection_->GetPortList(names);
    }
    SetActionMax(static_cast<std::int32_t>(names.size()));

    // Every port is probed, also after a supported device was found: a second one must be seen.
    // A port that another run holds is not probed at all: its device is that run's.
    std::vector<std::string> trimmed;
    for (const auto& name : names)
        trimmed.push_back(BarePortName(name));
    std::vector<PortProbe> probes =
        settings_.ProbeAtOnce ? ProbePortsTogether(trimmed) : ProbePortsInTurn(trimmed);

    int count = 0;
    std::unique_ptr<PortLock> lock;
    params_.BusyPorts.clear();
    params_.SearchedPorts.clear();
    for (std::size_t j = 0; j < trimmed.size(); ++j) {
        if (probes[j].InUse) {
            params_.BusyPorts.push_back({trimmed[j], probes[j].Holder.ProcessId,
                                         probes[j].Holder.Program, probes[j].Holder.LockFault});
        }
        params_.SearchedPorts.push_back(PortFindingOf(trimmed[j], probes[j]));
        if (IsSupportedType(probes[j].Type)) {
            ++count;
            type = probes[j].Type;
            port = trimmed[j];
            lock = std::move(probes[j].Lock);
        }
    }

    if (count != 1) {
        type = DEVICE_UNKNOWN;
        port.clear();
    }
    if (count == 0)
        return params_.BusyPorts.empty() ? kUpdateNoDevice : kUpdatePortInUse;
    if (count > 1)
        return kUpdateSeveralDevices;
    portLock_ = std::move(lock);
    InhibitSessionEnd();
    params_.Device = TSDeviceReport{};
    params_.Device.Port = port;
    params_.Device.DeviceType = type;
    ReportDevice();
    if (IsQuorvanOtgType(type) && IsBlankText(params_.VersionQuorvanOtg)) {
        return kUpdateNoQuorvanOtgFirmware;
    }
    if (IsTarnovelleK7Type(type) && IsBlankText(params_.VersionTarnovelleK7)) {
        return kUpdateNoTarnovelleK7Firmware;
    }
    return kUpdateOk;
}

}  // namespace veltrin
