#include "data/firmwarecheck.h"

#include <utility>

#include "common/texttrim.h"
#include "data/firmwaretempfile.h"
#include "data/hexfault.h"

namespace veltrin {

namespace {

const char* ExpectedIdentifier(FirmwareFamily family) {
    return family == FirmwareFamily::QuorvanOtg ? kQuorvanOtgIdentifier : kTarnovelleK7Identifier;
}

bool HasData(const TSHexRange ranges[kFirmwareRangeCount], int entry) {
    return ClIntelHex::GetDataSize(ranges[entry]) != 0;
}

}  // namespace

DownloadCheckStep CheckScannedFirmware(FirmwareFamily family,
                                       const TSHexRange ranges[kFirmwareRangeCount],
                                       FirmwareBuffers& buffers, IdentifierMatch identifierMatch,
                                       int* failedRange) {
    const std::string expected = ExpectedIdentifier(family);
    const std::string found = buffers.DeviceIdentifier();
    const bool sameIdentifier = identifierMatch == IdentifierMatch::Trimmed
                                    ? TrimText(expected) == TrimText(found)
                                    : expected == found;
    if (!sameIdentifier)
        return DownloadCheckStep::Identifier;
    // The application body (entry 8) is required as well: an image of nothing but identifier
    // and version trailer would otherwise be installed with an application size of 0.
    const bool withSounds = family == FirmwareFamily::QuorvanOtg;
    for (int entry : {RANGE_APPLICATION, RANGE_APPLICATION_BODY, RANGE_FONTS, RANGE_TEXTS,
                      RANGE_SOUNDS, RANGE_BOOTLOADER}) {
        if (entry == RANGE_SOUNDS && !withSounds)
            continue;
        if (!HasData(ranges, entry)) {
            if (failedRange != nullptr)
                *failedRange = entry;
            return DownloadCheckStep::ModuleMissing;
        }
    }
    std::uint8_t* bootVersion = buffers.BootloaderVersion(ranges);
    const int bootEntry = bootVersion == buffers.BootVersionLarge ? RANGE_BOOT_VERSION_LARGE
                                                                  : RANGE_BOOT_VERSION_SMALL;
    const std::pair<int, const std::uint8_t*> versions[] = {
        {RANGE_APP_VERSION, buffers.AppVersion},
        {RANGE_DATA_VERSION, buffers.DataVersion},
        {bootEntry, bootVersion}};
    for (const auto& [entry, block] : versions) {
        if (!IsVersionText(block)) {
            if (failedRange != nullptr)
                *failedRange = entry;
            return DownloadCheckStep::VersionText;
        }
    }
    if (!VersionBlocksMatch(buffers.AppVersion, buffers.DataVersion))
        return DownloadCheckStep::VersionMismatch;
    return DownloadCheckStep::Passed;
}

int CheckFirmwareForUpdate(FirmwareFamily family, TSHexRange ranges[kFirmwareRangeCount],
                           FirmwareBuffers& buffers) {
    switch (CheckScannedFirmware(family, ranges, buffers, IdentifierMatch::Trimmed, nullptr)) {
        case DownloadCheckStep::Passed:
            return FIRMWARE_OK;
        case DownloadCheckStep::Identifier:
            return FIRMWARE_WRONG_IDENTIFIER;
        default:
            return FIRMWARE_INCOMPLETE;
    }
}

DownloadCheckOutcome EvaluateDownloadedFirmware(FirmwareFamily family, const std::string& hexText) {
    DownloadCheckOutcome outcome;
    TSHexRange ranges[kFirmwareRangeCount];
    FirmwareBuffers buffers;
    PrepareImage(family, ranges);
    buffers.Attach(ranges);
    {
        FirmwareTempFile file(hexText);
        if (file.Get() == nullptr) {
            outcome.Step = DownloadCheckStep::TemporaryFile;
            return outcome;
        }
        ClIntelHex hex;
        std::uint32_t line = 0;
        outcome.ScanResult = hex.ScanRanges(file.Get(), ranges, kFirmwareRangeCount, &line);
        if (outcome.ScanResult != HEX_OK)
            outcome.ScanFault = DescribeHexFault(file.Get(), line, outcome.ScanResult);
    }
    if (outcome.ScanResult != HEX_OK) {
        outcome.Step = DownloadCheckStep::Scan;
        return outcome;
    }
    outcome.Step =
        CheckScannedFirmware(family, ranges, buffers, IdentifierMatch::Exact, &outcome.FailedRange);
    if (outcome.Step != DownloadCheckStep::Passed)
        return outcome;
    outcome.Version.assign(reinterpret_cast<const char*>(buffers.AppVersion), 8);
    return outcome;
}

std::string CheckDownloadedFirmware(FirmwareFamily family, const std::string& hexText) {
    if (IsBlankText(hexText))
        return std::string();
    return EvaluateDownloadedFirmware(family, hexText).Version;
}

}  // namespace veltrin
