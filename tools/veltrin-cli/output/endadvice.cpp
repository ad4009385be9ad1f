#include "output/endadvice.h"

#include <array>

#include "engine/updateresult.h"

namespace veltrin {

namespace {

constexpr char kNoDevice[] =
    "check that the pipette is switched on and its USB cable plugged in; "
    "\"veltrin-cli probe\" shows what answers on each port.";
constexpr char kSeveralDevices[] =
    "name one pipette's port with --port (\"veltrin-cli probe\" lists them), "
    "or update them all at once with --all-ports --yes.";
constexpr char kDeviceGone[] =
    "the pipette stopped answering; check its cable, leave it connected and run the update "
    "again (a pipette left in its bootloader is updated from there).";
constexpr char kBattery[] = "charge the pipette, then run the update again.";
constexpr char kUnknownVariant[] =
    "the update data holds no parameters for this pipette's variant; leave it as it is and "
    "report its variant id (\"veltrin-cli history --json\") to service.";
constexpr char kWriteFailed[] =
    "writing into the pipette failed; keep it connected and run the update again at once, "
    "on another USB port or cable if it fails again.";

constexpr char kInBootloader[] =
    "the pipette waits in its bootloader with its update unfinished; run the update again and "
    "it is finished from there.";

struct Advice {
    int Code;
    const char* Text;
};

// The codes a technician meets most: a missing or extra device, a device that went away during
// the run (its port closed, a command unanswered), a low battery, an unknown variant, and a
// write into the device that failed.
constexpr std::array<Advice, 29> kAdvice = {{
    {kUpdateNoDevice, kNoDevice},
    {kUpdateSeveralDevices, kSeveralDevices},
    {kUpdateBatteryLow, kBattery},
    {kUpdateNoKnownVariant, kUnknownVariant},
    {kUpdateWriteMemoryFailed, kWriteFailed},
    {kUpdateNotInApplication, kDeviceGone},
    {kUpdateNotInBootloader, kDeviceGone},
    {kUpdateOpenFailed, kDeviceGone},
    {kUpdateCloseFailed, kDeviceGone},
    {kUpdateReadBatteryStatusFailed, kDeviceGone},
    {kUpdateReadDeviceIdFailed, kDeviceGone},
    {kUpdateReadDeviceModeFailed, kDeviceGone},
    {kUpdateReadDeviceRecordFailed, kDeviceGone},
    {kUpdateReadConfigRecordFailed, kDeviceGone},
    {kUpdateReadParamRecordFailed, kDeviceGone},
    {kUpdateReadVersionTextFailed, kDeviceGone},
    {kUpdateReadVersionText1Failed, kDeviceGone},
    {kUpdateReadInfoTextFailed, kDeviceGone},
    {kUpdateReadBootRecordFailed, kDeviceGone},
    {kUpdateRestartDeviceFailed, kDeviceGone},
    {kUpdateReadMemoryInfoFailed, kDeviceGone},
    {kUpdateWriteDeviceRecordFailed, kWriteFailed},
    {kUpdateWriteConfigRecordFailed, kWriteFailed},
    {kUpdateWriteParamRecordFailed, kWriteFailed},
    {kUpdateWriteBootRecordFailed, kWriteFailed},
    {kUpdateSetApplicationSizeFailed, kWriteFailed},
    {kUpdateSetProgressFailed, kWriteFailed},
    {kUpdateBeginUploadFailed, kWriteFailed},
    {kUpdateSignalUpdateFailedFailed, kWriteFailed},
}};

}  // namespace

std::string EndAdviceFor(int resultCode) {
    for (const Advice& advice : kAdvice) {
        if (advice.Code == resultCode)
            return std::string("What to do: ") + advice.Text;
    }
    return "";
}

std::string EndAdviceFor(int resultCode, bool terminated, bool leftInBootloader) {
    if (leftInBootloader)
        return std::string("What to do: ") + kInBootloader;
    return terminated ? "" : EndAdviceFor(resultCode);
}

}  // namespace veltrin
