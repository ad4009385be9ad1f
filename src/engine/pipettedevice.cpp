#include "engine/pipettedevice.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "engine/countdowntext.h"
#include "engine/devicerestart.h"
#include "engine/devicetext.h"
#include "engine/updateresult.h"

namespace veltrin {

PipetteDevice::PipetteDevice(ClConnectPipetten& connection, ClIntelHex& hexReader,
                             DeviceEvents& events)
    : connection_(connection), hexReader_(hexReader), events_(events) {}

int PipetteDevice::ReadDeviceTexts(TSDeviceReport& report,
                                   std::uint8_t version0[kVersionTextSize]) {
    if (connection_.ReadVersionText(version0, 0) != 0)
        return kUpdateReadVersionTextFailed;
    report.VersionText0 = DeviceFieldText(version0, kVersionTextSize);
    if (events_.Terminated())
        return kUpdateOk;
    // The second version text and the info text complete the identification; only the
    // owner's records use them.
    std::uint8_t text[kVersionTextSize] = {};
    if (connection_.ReadVersionText(text, 1) != 0)
        return kUpdateReadVersionText1Failed;
    report.VersionText1 = DeviceFieldText(text, kVersionTextSize);
    if (events_.Terminated())
        return kUpdateOk;
    std::fill(std::begin(text), std::end(text), std::uint8_t{0});
    if (connection_.ReadInfoText(text) != 0)
        return kUpdateReadInfoTextFailed;
    report.InfoText = DeviceFieldText(text, kVersionTextSize);
    return kUpdateOk;
}

int PipetteDevice::RestartIntoBootloader(bool& portLeftClosed) {
    portLeftClosed = false;
    const int code = SetStayInBootloader();
    if (code != kUpdateOk || events_.Terminated())
        return code;
    if (connection_.RestartDevice() != 0)
        return kUpdateRestartDeviceFailed;
    if (events_.Terminated())
        return kUpdateOk;

    // The port goes away while the device restarts.
    portLeftClosed = true;
    if (connection_.Close() != 0)
        return kUpdateCloseFailed;
    if (events_.Terminated())
        return kUpdateOk;
    WaitWithCountdown(kRestartCountdownSeconds);
    if (events_.Terminated())
        return kUpdateOk;
    if (connection_.Open() != 0)
        return kUpdateOpenFailed;
    portLeftClosed = false;
    return kUpdateOk;
}

void PipetteDevice::WaitWithCountdown(std::uint16_t seconds) {
    events_.SetActionPosition(0);
    events_.SetActionMax(seconds);
    std::uint16_t remaining = seconds;
    while (remaining != 0 && !events_.Terminated()) {
        events_.ShowAction(CountdownText(remaining));
        events_.SetActionPosition(seconds - remaining);
        events_.Sleep(1000);
        --remaining;
    }
}

}  // namespace veltrin
