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

// Why a firmware check refused an image, in the order the checks test.
enum class DownloadCheckStep {
    Passed,
    TemporaryFile,    // the text could not be written whole into a temporary file
    Scan,             // ScanRanges failed
    Identifier,       // entry 9 is not the family's identifier (see IdentifierMatch)
    ModuleMissing,    // an entry that must carry data is empty (see FailedRange)
    VersionText,      // a version block does not start with dd.dd.dd (see FailedRange)
    VersionMismatch,  // application and data version blocks differ
};

// How the identifier (entry 9) must equal the family's: the download takes it exactly as
// written, the worker ignores blanks around either text.
enum class IdentifierMatch { Exact, Trimmed };

// The rules both checks share, on a scanned image (ranges from PrepareImage with buffers
// attached, then ScanRanges). In this order: the identifier must equal the family's; the
// application, application body, fonts, texts, sounds (electronic pipette only) and bootloader
// must carry data; the application, data and bootloader version blocks must start with
// dd.dd.dd; the application and data version blocks must match. Zero bytes are written into
// the buffers as VersionBlocksMatch does. Returns the step that failed or Passed; failedRange
// (when not null) names the entry behind ModuleMissing and VersionText and is left alone
// otherwise.
DownloadCheckStep CheckScannedFirmware(FirmwareFamily family,
                                       const TSHexRange ranges[kFirmwareRangeCount],
                                       FirmwareBuffers& buffers, IdentifierMatch identifierMatch,
                                       int* failedRange);

// The update worker's check of a scanned image: the shared rules with a trimmed identifier.
// Returns FIRMWARE_OK, _WRONG_IDENTIFIER or _INCOMPLETE (every other refusal).
int CheckFirmwareForUpdate(FirmwareFamily family, TSHexRange ranges[kFirmwareRangeCount],
                           FirmwareBuffers& buffers);

struct DownloadCheckOutcome {
    DownloadCheckStep Step = DownloadCheckStep::Passed;
    int ScanResult = HEX_OK;
    // Where a failed scan stopped and what was wrong there ("line 17: checksum 0x3C, ...").
    std::string ScanFault;
    int FailedRange = -1;  // the entry behind ModuleMissing or VersionText
    std::string Version;   // "dd.dd.dd" when the image passed
};

// The download's check of a fetched firmware text, written into a temporary file and scanned:
// scan result 0, then the shared rules with the identifier taken exactly.
DownloadCheckOutcome EvaluateDownloadedFirmware(FirmwareFamily family, const std::string& hexText);

}  // namespace veltrin
