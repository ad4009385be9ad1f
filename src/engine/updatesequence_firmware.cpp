#include <cstdio>
#include <memory>
#include <string>

#include "data/firmwarecheck.h"
#include "data/hexfault.h"
#include "engine/devicefamily.h"
#include "engine/updateresult.h"
#include "engine/updatesequence.h"
#include "report/endtexts.h"

namespace veltrin {

UpdateSequence::Exit UpdateSequence::PrepareFirmware() {
    const TSThreadParams& params = run_.Params();
    const std::string* hexText = nullptr;
    FirmwareFamily family;
    if (IsTarnovelleK7Type(deviceType_)) {
        restoresVariant_ = false;
        title_ = std::string("Update ") + kFamilyLabelTarnovelleK7;
        withSounds_ = false;
        moduleCount_ = 5;
        family = FirmwareFamily::TarnovelleK7;
        hexText = &params.HexTarnovelleK7;
    } else if (IsQuorvanOtgType(deviceType_)) {
        restoresVariant_ = true;
        title_ = std::string("Update ") + kFamilyLabelQuorvanOtg;
        withSounds_ = true;
        moduleCount_ = 6;
        family = FirmwareFamily::QuorvanOtg;
        hexText = &params.HexQuorvanOtg;
    } else {
        return Leave(kUpdateUnsupportedDevice);
    }
    run_.ShowTitle(title_ + " ...");
    PrepareImage(family, ranges_);
    // A firmware that did not reach the file whole has no file: the scan below fails.
    file_ = std::make_unique<FirmwareTempFile>(*hexText);
    buffers_.Attach(ranges_);

    run_.AnnounceStep("das Intel-Hex File analysieren");
    run_.ShowAction("Check the data for the update ...");
    run_.SetActionMax(100);
    run_.SetActionPosition(10);
    std::uint32_t line = 0;
    const int scan = hexReader_.ScanRanges(File(), ranges_, kFirmwareRangeCount, &line);
    run_.SetActionPosition(80);
    if (scan != 0) {
        // The code only says the file is bad; the trace says where and what.
        run_.Trace("Intel HEX: " + DescribeHexFault(File(), line, scan));
        return Leave(kUpdateHexInvalid);
    }

    // Identifier of the family, every module present, well-formed and matching versions.
    const int check = CheckFirmwareForUpdate(family, ranges_, buffers_);
    if (check != FIRMWARE_OK)
        return Leave(check);
    bootloaderVersion_ = buffers_.BootloaderVersion(ranges_);

    run_.SetActionPosition(100);
    buffers_.AppVersion[8] = 0;
    bootloaderVersion_[8] = 0;
    title_ += " Version ";
    title_ += reinterpret_cast<const char*>(buffers_.AppVersion);
    run_.ShowTitle(title_);

    bootloaderSize_ = ClIntelHex::GetDataSize(ranges_[RANGE_BOOTLOADER]);
    applicationSize_ = ClIntelHex::GetDataSize(ranges_[RANGE_APPLICATION_BODY]);
    std::uint32_t total = 0;
    for (int range : {RANGE_BOOTLOADER, RANGE_APPLICATION, RANGE_DATA_VERSION, RANGE_SOUNDS,
                      RANGE_FONTS, RANGE_TEXTS}) {
        total += ClIntelHex::GetDataSize(ranges_[range]);
    }
    run_.SetTotalMax(static_cast<std::int32_t>(total));
    run_.SetTotalPosition(static_cast<std::int32_t>(total / 20));
    return StopCheck();
}

}  // namespace veltrin
