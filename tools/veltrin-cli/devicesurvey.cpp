#include "devicesurvey.h"

#include <memory>
#include <cstdint>
#include <thread>

#include "common/texttrim.h"
#include "engine/devicetext.h"
#include "probeconnection.h"
#include "protocol/clconnectpipetten.h"
#include "transport/portlock.h"
#include "wiring/realtransports.h"

namespace veltrin {

namespace {

// A device text up to its first zero byte, decoded as every device text is.
std::string DeviceText(const std::uint8_t (&bytes)[kVersionTextSize]) {
    std::size_t length = 0;
    while (length < kVersionTextSize && bytes[length] != 0)
        ++length;
    return TrimText(DeviceFieldText(bytes, length));
}

DeviceSurvey Survey(const std::string& port) {
    DeviceSurvey survey;
    survey.Port = TrimText(port);
    const std::unique_ptr<ClConnectPipetten> realDevice = MakeRealCommandSet();
    ClConnectPipetten& device = *realDevice;
    device.SelectTransport(kSerialTransport);
    // A port another update run holds is that run's: it is not even opened.
    std::unique_ptr<PortLock> lock;
    PortLockHolder holder;
    if (AcquirePortLock(survey.Port, lock, holder) == PortInUseError())
        return survey;
    if (device.SetParams(ProbeConnectParamsFor(survey.Port)) != 0 || device.Open() != 0)
        return survey;
    if (device.ReadDeviceId(&survey.Type) != 0) {
        survey.Type = 0;
    } else {
        std::uint8_t text[kVersionTextSize] = {};
        if (device.ReadVersionText(text, 0) == 0)
            survey.Version = DeviceText(text);
        std::uint8_t info[kVersionTextSize] = {};
        if (device.ReadInfoText(info) == 0)
            survey.Info = DeviceText(info);
    }
    device.Close();
    return survey;
}

}  // namespace

std::vector<DeviceSurvey> SurveyPortsAtOnce(const std::vector<std::string>& ports) {
    std::vector<DeviceSurvey> surveys(ports.size());
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        try {
            threads.emplace_back([&surveys, &ports, i] { surveys[i] = Survey(ports[i]); });
        } catch (...) {
            surveys[i] = Survey(ports[i]);  // no thread to be had: ask this one here
        }
    }
    for (auto& thread : threads)
        thread.join();
    return surveys;
}

}  // namespace veltrin
