#include <cstdio>
#include <string>

#include "common/texttrim.h"
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
        expectedIdentifier_ = kTarnovelleK7Identifier;
        moduleCount_ = 5;
        family = FirmwareFamily::TarnovelleK7;
        hexText = &params.HexTarnovelleK7;
    } else if (IsQuorvanOtgType(deviceType_)) {
        familyKind_ = 6;
        title_ = std::string("Update ") + kFamilyLabelQuorvanOtg;
        withSounds_ = true;
        expectedIdentifier_ = kQuorvanOtgIdentifier;
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

    const int check = CheckFirmware();
    if (check != kUpdateOk)
        return Leave(check);

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

int UpdateSequence::CheckFirmware() {
    if (TrimText(expectedIdentifier_) != TrimText(buffers_.DeviceIdentifier())) {
        return kUpdateWrongIdentifier;
    }
    bootloaderVersion_ = buffers_.BootloaderVersion(ranges_);

    // Every module must be there, the versions well formed and the two version blocks of the
    // same release; without application code below the trailer there is nothing to install.
    for (int range :
         {RANGE_APPLICATION, RANGE_FONTS, RANGE_TEXTS, RANGE_BOOTLOADER, RANGE_APPLICATION_BODY}) {
        if (ClIntelHex::GetDataSize(ranges_[range]) == 0)
            return kUpdateFirmwareIncomplete;
    }
    if (!IsVersionText(buffers_.AppVersion) || !IsVersionText(buffers_.DataVersion) ||
        !IsVersionText(bootloaderVersion_)) {
        return kUpdateFirmwareIncomplete;
    }
    if (!VersionBlocksMatch(buffers_.AppVersion, buffers_.DataVersion)) {
        return kUpdateFirmwareIncomplete;
    }
    if (withSounds_ && ClIntelHex::GetDataSize(ranges_[RANGE_SOUNDS]) == 0) {
        return kUpdateFirmwareIncomplete;
    }
    return kUpdateOk;
}

}  // namespace veltrin
