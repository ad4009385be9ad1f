#include "commands/devicesurvey.h"

#include <array>
#include <cstdint>

#include "commands/probeconnection.h"
#include "common/texttrim.h"
#include "engine/devicetext.h"
#include "engine/parallelprobe.h"
#include "wiring/realtransports.h"

namespace veltrin {

std::string FirstDeviceField(const std::array<std::uint8_t, kVersionTextSize>& bytes) {
    std::size_t length = 0;
    while (length < bytes.size() && bytes[length] != 0)
        ++length;
    return TrimText(DeviceFieldText(bytes.data(), length));
}

std::vector<DeviceSurvey> SurveyPortsAtOnce(const std::vector<std::string>& ports) {
    std::vector<std::string> names;
    for (const auto& port : ports)
        names.push_back(TrimText(port));
    const std::vector<PortProbe> probes =
        ProbePortsAtOnce(MakeRealCommandSet, names, ProbeConnectParams(), SleepFunction(), nullptr,
                         ProbeReads::DeviceTexts);
    std::vector<DeviceSurvey> surveys(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        const PortProbe& probe = probes[i];
        surveys[i].Port = names[i];
        surveys[i].Type = probe.ResultCode == 0 ? probe.Type : 0;
        surveys[i].Version = FirstDeviceField(probe.VersionText0);
        surveys[i].Info = FirstDeviceField(probe.InfoText);
    }
    return surveys;
}

}  // namespace veltrin
