#include <cstdio>
#include <string>

#include "data/firmwarecheck.h"
#include "engine/clthreadimpl.h"
#include "engine/devicefamily.h"
#include "engine/updateresult.h"
#include "engine/updatesequence.h"
#include "report/endtexts.h"

namespace veltrin {

UpdateSequence::Exit UpdateSequence::PrepareFirmware() {
    file_.reset(std::tmpfile());

    const TSThreadParams& params = worker_.Params();
    const std::string* hexText = nullptr;
    FirmwareFamily family;
    if (IsTarnovelleK7Type(deviceType_)) {
        familyKind_ = 5;
        title_ = std::string("Update ") + kFamilyLabelTarnovelleK7;
        withSounds_ = false;
        moduleCount_ = 5;
        family = FirmwareFamily::TarnovelleK7;
        hexText = &params.HexTarnovelleK7;
    } else if (IsQuorvanOtgType(deviceType_)) {
        familyKind_ = 6;
        title_ = std::string("Update ") + kFamilyLabelQuorvanOtg;
        withSounds_ = true;
        moduleCount_ = 6;
        family = FirmwareFamily::QuorvanOtg;
        hexText = &params.HexQuorvanOtg;
    } else {
        return Leave(kUpdateUnsupportedDevice);
    }
    worker_.ShowTitle(title_ + " ...");
    PrepareImage(family, ranges_);
    // A firmware that did not reach the file whole must never be taken for a shorter one.
    fileWritten_ =
        file_ != nullptr &&
        std::fwrite(hexText->data(), 1, hexText->size(), file_.get()) == hexText->size() &&
        std::fflush(file_.get()) == 0;
    buffers_.Attach(ranges_);

    worker_.AnnounceStep("das Intel-Hex File analysieren");
    worker_.ShowAction("Check the data for the update ...");
    worker_.SetActionMax(100);
    worker_.SetActionPosition(10);
    const int scan = hexReader_.ScanRanges(file_.get(), ranges_, kFirmwareRangeCount);
    worker_.SetActionPosition(80);
    if (scan != 0 || !fileWritten_)
        return Leave(kUpdateHexInvalid);

    // Identifier of the family, every module present, well-formed and matching versions.
    const int check = CheckFirmwareForUpdate(family, ranges_, buffers_);
    if (check != FIRMWARE_OK)
        return Leave(check);
    bootloaderVersion_ = buffers_.BootloaderVersion(ranges_);

    worker_.SetActionPosition(100);
    buffers_.AppVersion[8] = 0;
    bootloaderVersion_[8] = 0;
    title_ += " Version ";
    title_ += reinterpret_cast<const char*>(buffers_.AppVersion);
    worker_.ShowTitle(title_);

    bootloaderSize_ = ClIntelHex::GetDataSize(ranges_[RANGE_BOOTLOADER]);
    applicationSize_ = ClIntelHex::GetDataSize(ranges_[RANGE_APPLICATION_BODY]);
    std::uint32_t total = 0;
    for (int range : {RANGE_BOOTLOADER, RANGE_APPLICATION, RANGE_DATA_VERSION, RANGE_SOUNDS,
                      RANGE_FONTS, RANGE_TEXTS}) {
        total += ClIntelHex::GetDataSize(ranges_[range]);
    }
    worker_.SetTotalMax(static_cast<std::int32_t>(total));
    worker_.SetTotalPosition(static_cast<std::int32_t>(total / 20));
    return StopCheck();
}

}  // namespace veltrin
