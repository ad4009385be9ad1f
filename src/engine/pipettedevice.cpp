#include "engine/pipettedevice.h"

#include <string>

#include "engine/countdowntext.h"
#include "engine/devicerestart.h"
#include "engine/updateresult.h"

namespace veltrin {

PipetteDevice::PipetteDevice(ClConnectPipetten& connection, ClIntelHex& hexReader,
                             DeviceEvents& events)
    : connection_(connection), hexReader_(hexReader), events_(events) {}

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
