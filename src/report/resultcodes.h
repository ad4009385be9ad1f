#pragma once

#include <cstdint>

namespace veltrin {

// The outcome of one update run. 0 is success, and also the code of a run the user stopped or
// answered No to (the end event's terminated flag tells those apart). 8 is not used. A failed
// device command is never passed on as such: the code names the command that failed.
enum UpdateResult : std::int32_t {
    kUpdateOk = 0,
    kUpdateUnsupportedDevice = 1,
    kUpdateNoDevice = 2,
    kUpdateSeveralDevices = 3,
    kUpdateNoQuorvanOtgFirmware = 4,
    kUpdateNoTarnovelleK7Firmware = 5,
    kUpdateBatteryLow = 6,
    kUpdateNoKnownVariant = 7,
    kUpdateModuleEmpty = 9,
    kUpdateModuleTooShort = 10,
    kUpdateWriteMemoryFailed = 11,
    kUpdateNoHexReader = 12,
    kUpdateExtractFailed = 13,
    kUpdateHexInvalid = 14,
    kUpdateWrongIdentifier = 15,
    kUpdateFirmwareIncomplete = 16,
    kUpdateNotInApplication = 17,
    kUpdateNotInBootloader = 18,
    kUpdateOpenFailed = 19,
    kUpdateCloseFailed = 20,
    kUpdateReadBatteryStatusFailed = 21,
    kUpdateReadDeviceIdFailed = 22,
    kUpdateReadDeviceModeFailed = 23,
    kUpdateReadDeviceRecordFailed = 24,
    kUpdateReadConfigRecordFailed = 25,
    kUpdateReadParamRecordFailed = 26,
    kUpdateWriteDeviceRecordFailed = 27,
    kUpdateWriteConfigRecordFailed = 28,
    kUpdateWriteParamRecordFailed = 29,
    kUpdateReadVersionTextFailed = 30,
    kUpdateReadVersionText1Failed = 31,
    kUpdateReadInfoTextFailed = 32,
    kUpdateReadBootRecordFailed = 33,
    kUpdateWriteBootRecordFailed = 34,
    kUpdateRestartDeviceFailed = 35,
    kUpdateSetApplicationSizeFailed = 36,
    kUpdateReadMemoryInfoFailed = 37,
    kUpdateSetProgressFailed = 38,
    kUpdateBeginUploadFailed = 39,
    kUpdateShowUpdateSuccessFailed = 40,
    kUpdateSignalUpdateFailedFailed = 41,
};

}  // namespace veltrin
