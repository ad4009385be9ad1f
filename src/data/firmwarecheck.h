#pragma once

#include <string>

#include "data/firmwarelayout.h"

namespace veltrin {

// Codes of the update worker's firmware check; they are the worker's own result codes.
enum FirmwareCheckResult : int {
    FIRMWARE_OK = 0,
    FIRMWARE_WRONG_IDENTIFIER = 15,
    FIRMWARE_INCOMPLETE = 16,
};

// The update worker's check of a scanned image (ranges from PrepareImage with buffers attached,
// then ScanRanges). In this order: the trimmed identifier must equal the family's; the
// application, application body, fonts, texts and bootloader must carry data; the application,
// data and bootloader version blocks must start with dd.dd.dd; the application and data version
// blocks must match; the electronic pipette must carry sounds. Zero bytes are written into the
// buffers as VersionBlocksMatch does. Returns FIRMWARE_OK, _WRONG_IDENTIFIER or _INCOMPLETE.
int CheckFirmwareForUpdate(FirmwareFamily family, TSHexRange ranges[kFirmwareRangeCount],
                           FirmwareBuffers& buffers);

// Why the download's check refused an image, in the order the check tests.
enum class DownloadCheckStep {
    Passed,
    TemporaryFile,    // the text could not be written whole into a temporary file
    Scan,             // ScanRanges failed
    Identifier,       // entry 9 is not exactly the family's identifier
    ModuleMissing,    // an entry that must carry data is empty (see FailedRange)
    VersionText,      // a version block does not start with dd.dd.dd (see FailedRange)
    VersionMismatch,  // application and data version blocks differ
};

struct DownloadCheckOutcome {
    DownloadCheckStep Step = DownloadCheckStep::Passed;
    int ScanResult = HEX_OK;
    // Where a failed scan stopped and what was wrong there ("line 17: checksum 0x3C, ...").
    std::string ScanFault;
    int FailedRange = -1;  // the entry behind ModuleMissing or VersionText
    std::string Version;   // "dd.dd.dd" when the image passed
};

// The download's check of a fetched firmware text, written into a temporary file and scanned:
// scan result 0, identifier equal to the family's (no trimming), data in the application,
// application body, fonts, texts, sounds (electronic pipette only) and bootloader, the three
// version texts, and matching application and data version blocks.
DownloadCheckOutcome EvaluateDownloadedFirmware(FirmwareFamily family, const std::string& hexText);

}  // namespace veltrin
