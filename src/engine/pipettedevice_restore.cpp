#include "engine/pipettedevice.h"

#include <cstdint>

#include "engine/devicefamily.h"
#include "engine/devicerestart.h"
#include "engine/updateresult.h"

namespace veltrin {

namespace {

std::int32_t FirstUint16(const std::uint8_t* record) {
    return static_cast<std::int32_t>(record[0] | (record[1] << 8));
}

}  // namespace

int PipetteDevice::ReadVariantId(std::int32_t& variantId) {
    const int code = ReadKnownVariantId(variantId);
    if (code == kUpdateOk && IsKnownVariant(variantId)) {
        events_.ReportVariant(variantId);
    }
    return code;
}

int PipetteDevice::ReadKnownVariantId(std::int32_t& variantId) {
    // Each of the three records starts with the variant id; older devices keep it only in one.
    variantId = 0;
    std::uint8_t deviceRecord[kDeviceRecordSize] = {};
    if (connection_.ReadDeviceRecord(deviceRecord) != 0)
        return kUpdateReadDeviceRecordFailed;
    variantId = FirstUint16(deviceRecord);
    if (IsKnownVariant(variantId))
        return kUpdateOk;

    variantId = 0;
    if (events_.Terminated())
        return kUpdateOk;
    std::uint8_t configRecord[kConfigRecordSize] = {};
    if (connection_.ReadConfigRecord(configRecord) != 0)
        return kUpdateReadConfigRecordFailed;
    variantId = FirstUint16(configRecord);
    if (IsKnownVariant(variantId))
        return kUpdateOk;

    variantId = 0;
    if (events_.Terminated())
        return kUpdateOk;
    std::uint8_t paramRecord[kParamRecordSize] = {};
    if (connection_.ReadParamRecord(paramRecord) != 0)
        return kUpdateReadParamRecordFailed;
    variantId = FirstUint16(paramRecord);
    if (IsKnownVariant(variantId))
        return kUpdateOk;

    variantId = 0;
    return kUpdateNoKnownVariant;
}

int PipetteDevice::RestoreVariantParameters(std::int32_t& variantId) {
    // The update erased the adjustments; the device must be back in its application to take
    // its variant's records again.
    WaitWithCountdown(kRestartCountdownSeconds);
    if (events_.Terminated())
        return kUpdateOk;
    if (connection_.Open() != 0)
        return kUpdateOpenFailed;
    const int code = WriteVariantParameters(variantId);
    connection_.Close();
    return code;
}

int PipetteDevice::WriteVariantParameters(std::int32_t& variantId) {
    if (events_.Terminated())
        return kUpdateOk;
    int mode = 0;
    if (connection_.ReadDeviceMode(&mode) != 0)
        return kUpdateReadDeviceModeFailed;
    if (events_.Terminated())
        return kUpdateOk;
    if (mode != kApplicationMode)
        return kUpdateNotInApplication;

    // A device that was updated from its bootloader had no readable variant before.
    if (!IsKnownVariant(variantId)) {
        const int code = ReadVariantId(variantId);
        if (code != kUpdateOk)
            return code;
        if (events_.Terminated())
            return kUpdateOk;
    }

    std::uint8_t configImage[kConfigImageSize];
    std::uint8_t paramImage[kParamImageSize];
    if (events_.LookupVariant(variantId, configImage, paramImage)) {
        if (connection_.WriteConfigRecord(configImage) != 0)
            return kUpdateWriteConfigRecordFailed;
        if (events_.Terminated())
            return kUpdateOk;
        if (connection_.WriteParamRecord(paramImage) != 0)
            return kUpdateWriteParamRecordFailed;
        if (events_.Terminated())
            return kUpdateOk;
        std::uint8_t deviceRecord[kDeviceRecordSize] = {};
        if (connection_.ReadDeviceRecord(deviceRecord) != 0)
            return kUpdateReadDeviceRecordFailed;
        if (events_.Terminated())
            return kUpdateOk;
        if (FirstUint16(deviceRecord) != variantId) {
            deviceRecord[0] = static_cast<std::uint8_t>(variantId);
            deviceRecord[1] = static_cast<std::uint8_t>(variantId >> 8);
            if (connection_.WriteDeviceRecord(deviceRecord) != 0) {
                return kUpdateWriteDeviceRecordFailed;
            }
            if (events_.Terminated())
                return kUpdateOk;
        }
    }
    // An unknown variant leaves the records as they are; the application starts all the same.
    connection_.RestartDevice();
    return kUpdateOk;
}

}  // namespace veltrin
