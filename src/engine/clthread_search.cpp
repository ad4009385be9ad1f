#include <string>
#include <vector>

#include "common/texttrim.h"
#include "engine/clthreadimpl.h"
#include "engine/devicefamily.h"
#include "engine/parallelprobe.h"
#include "engine/updateresult.h"

namespace veltrin {

void ClTreadImpl::SelectPort(const std::string& name) {
    TSConnectParams params;
    device_->GetParams(params);
    const std::string trimmed = TrimText(name);
    // A name cut to fit the field could be another port's name; one that does not fit is left
    // empty, which no port opens under, so the probe finds no device there.
    textConvert_->TextToBuffer(params.PortName, sizeof(params.PortName),
                               trimmed.size() < sizeof(params.PortName) ? trimmed : std::string(),
                               true);
    device_->SetParams(params);
}

int ClTreadImpl::ProbePort(const std::string& name) {
    SelectPort(name);
    if (device_->Open() != 0)
        return DEVICE_UNKNOWN;
    int type = DEVICE_UNKNOWN;
    if (device_->ReadDeviceId(&type) != 0)
        type = DEVICE_UNKNOWN;
    device_->Close();
    return type;
}

std::vector<int> ClTreadImpl::ProbePortsInTurn(const std::vector<std::string>& names) {
    std::vector<int> types;
    for (std::size_t j = 0; j < names.size(); ++j) {
        types.push_back(ProbePort(names[j]));
        SetActionPosition(static_cast<std::int32_t>(j + 1));
    }
    return types;
}

std::vector<int> ClTreadImpl::ProbePortsTogether(const std::vector<std::string>& names) {
    TSConnectParams connection;
    device_->GetParams(connection);
    return ProbePortsAtOnce(names, connection, settings_.Sleeper, [this](std::size_t finished) {
        SetActionPosition(static_cast<std::int32_t>(finished));
    });
}

int ClTreadImpl::SearchDevice(int& type, std::string& port) {
    std::vector<std::string> names;
    SetActionPosition(0);
    ShowAction("Search available devices ...");
    if (settings_.OverridePorts) {
        names = settings_.Ports;
    } else {
        device_->GetPortList(names);
    }
    SetActionMax(static_cast<std::int32_t>(names.size()));

    // Every port is probed, also after a supported device was found: a second one must be seen.
    std::vector<std::string> trimmed;
    for (const auto& name : names)
        trimmed.push_back(TrimText(name));
    const std::vector<int> types =
        settings_.ProbeAtOnce ? ProbePortsTogether(trimmed) : ProbePortsInTurn(trimmed);

    int count = 0;
    for (std::size_t j = 0; j < trimmed.size(); ++j) {
        if (IsSupportedType(types[j])) {
            ++count;
            type = types[j];
            port = trimmed[j];
        }
    }

    if (count != 1) {
        type = DEVICE_UNKNOWN;
        port.clear();
    }
    if (count == 0)
        return kUpdateNoDevice;
    if (count > 1)
        return kUpdateSeveralDevices;
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
