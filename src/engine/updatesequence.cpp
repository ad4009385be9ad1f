#include "engine/updatesequence.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "engine/clthreadimpl.h"
#include "engine/devicefamily.h"
#include "engine/devicerestart.h"
#include "engine/devicetext.h"
#include "engine/updatequestions.h"
#include "engine/updateresult.h"
#include "protocol/devicetypes.h"

namespace veltrin {

namespace {

constexpr std::uint8_t kFill = 0xFF;

std::string UploadStepText(const char* module) {
    return std::string("das Softwaremodul \"") + module + "\" uploaden";
}

}  // namespace

UpdateSequence::UpdateSequence(ClTreadImpl& worker, ClConnectPipetten& device,
                               ClIntelHex& hexReader)
    : worker_(worker), device_(device), hexReader_(hexReader) {}

int UpdateSequence::Run(const std::string& port, std::string& endText) {
    worker_.SelectPort(port);
    if (device_.Open() != 0)
        return kUpdateOpenFailed;

    const Exit exit = RunSteps();
    file_.reset();
    if (exit == Exit::ReturnNow)
        return code_;

    device_.Close();
    if (restoresVariant_ && !worker_.Terminated() && code_ == kUpdateOk) {
        code_ = worker_.RestoreVariantParameters(variantId_);
    }
    if (!worker_.Terminated() && code_ == kUpdateOk)
        endText = title_;
    return code_;
}

UpdateSequence::Exit UpdateSequence::RunSteps() {
    Exit exit = StopCheck();
    if (exit == Exit::Continue)
        exit = CheckDevice();
    if (exit == Exit::Continue)
        exit = PrepareFirmware();
    if (exit == Exit::Continue)
        exit = AskUser();
    if (exit == Exit::Continue)
        exit = ReadMode();
    if (exit == Exit::Continue)
        exit = WriteBootloader();
    if (exit == Exit::Continue && !bootMode_)
        exit = RestartIntoBootloader();
    if (exit == Exit::Continue)
        exit = WriteDataModules();
    if (exit == Exit::Continue)
        exit = StartApplication();
    return exit;
}

UpdateSequence::Exit UpdateSequence::Leave(int code) {
    code_ = code;
    return Exit::Leave;
}

UpdateSequence::Exit UpdateSequence::Abort(int code) {
    // The bootloader shows the failure and waits for the next attempt.
    code_ = code;
    if (device_.SignalUpdateFailed() != 0)
        code_ = kUpdateSignalUpdateFailedFailed;
    inBootloaderPhase_ = false;
    worker_.Params().LeftInBootloader = true;
    return Exit::Leave;
}

UpdateSequence::Exit UpdateSequence::ReturnNow(int code) {
    code_ = code;
    return Exit::ReturnNow;
}

UpdateSequence::Exit UpdateSequence::StopCheck() {
    return worker_.Terminated() ? Exit::Leave : Exit::Continue;
}

void UpdateSequence::ShowModule() {
    worker_.SetActionPosition(0);
    ++moduleNumber_;
    worker_.ShowAction("Update module " + std::to_string(moduleNumber_) + "/" +
                       std::to_string(moduleCount_));
}

UpdateSequence::Exit UpdateSequence::CheckDevice() {
    worker_.AnnounceStep("den Akkustatus auslesen und überprüfen");
    int battery = 0;
    if (device_.ReadBatteryStatus(&battery) != 0)
        return Leave(kUpdateReadBatteryStatusFailed);
    if (!IsBatteryOk(battery)) {
        // The refused run's record still names the pipette: its texts are only read, and a
        // failure to read them does not hide the battery's state.
        ReadDeviceTexts();
        worker_.ReportDevice();
        return Leave(kUpdateBatteryLow);
    }
    if (StopCheck() != Exit::Continue)
        return Exit::Leave;

    worker_.AnnounceStep("die Device-Id auslesen");
    if (device_.ReadDeviceId(&deviceType_) != 0)
        return Leave(kUpdateReadDeviceIdFailed);
    return StopCheck();
}

UpdateSequence::Exit UpdateSequence::ReadDeviceTexts() {
    TSDeviceReport& report = worker_.Params().Device;
    if (device_.ReadVersionText(deviceVersion_, 0) != 0) {
        return Leave(kUpdateReadVersionTextFailed);
    }
    report.VersionText0 = DeviceFieldText(deviceVersion_, kVersionTextSize);
    if (StopCheck() != Exit::Continue)
        return Exit::Leave;
    // The second version text and the info text complete the identification; only the
    // owner's records use them.
    std::uint8_t text[kVersionTextSize] = {};
    if (device_.ReadVersionText(text, 1) != 0)
        return Leave(kUpdateReadVersionText1Failed);
    report.VersionText1 = DeviceFieldText(text, kVersionTextSize);
    if (StopCheck() != Exit::Continue)
        return Exit::Leave;
    std::fill(std::begin(text), std::end(text), std::uint8_t{0});
    if (device_.ReadInfoText(text) != 0)
        return Leave(kUpdateReadInfoTextFailed);
    report.InfoText = DeviceFieldText(text, kVersionTextSize);
    return StopCheck();
}

UpdateSequence::Exit UpdateSequence::AskUser() {
    const Exit exit = ReadDeviceTexts();
    // The owner's records get the texts read so far, also when a read failed.
    worker_.ReportDevice();
    if (exit != Exit::Continue)
        return exit;

    const char* question = VersionQuestionFor(buffers_.AppVersion, deviceVersion_);
    if (question != nullptr && !worker_.AskYesNo(question))
        worker_.Terminate();
    if (StopCheck() != Exit::Continue)
        return Exit::Leave;

    if (!worker_.AskYesNo(kQuestionUserData))
        worker_.Terminate();
    return StopCheck();
}

UpdateSequence::Exit UpdateSequence::ReadMode() {
    worker_.AnnounceStep("den Device-Mode auslesen");
    int mode = 0;
    if (device_.ReadDeviceMode(&mode) != 0)
        return Leave(kUpdateReadDeviceModeFailed);
    // Only two modes exist; anything else is no answer the upload could rely on.
    if (mode != kApplicationMode && mode != kBootloaderMode) {
        return Leave(kUpdateReadDeviceModeFailed);
    }
    if (StopCheck() != Exit::Continue)
        return Exit::Leave;
    bootMode_ = mode == kBootloaderMode;

    // The application still knows the variant; the bootloader would not.
    if (restoresVariant_ && mode == kApplicationMode) {
        code_ = worker_.ReadVariantId(variantId_);
        if (code_ != kUpdateOk)
            return Leave(code_);
        if (StopCheck() != Exit::Continue)
            return Exit::Leave;
    }
    return Exit::Continue;
}

UpdateSequence::Exit UpdateSequence::WriteBootloader() {
    worker_.AnnounceStep(UploadStepText("Bootloader"));
    ShowModule();
    code_ = worker_.InvalidateBootloader();
    if (code_ != kUpdateOk)
        return Leave(code_);
    if (StopCheck() != Exit::Continue)
        return Exit::Leave;

    inBootloaderPhase_ = bootMode_;
    code_ = worker_.UploadModule(File(), MEM_EXT_FLASH, ranges_[RANGE_BOOTLOADER],
                                 {.BootMode = bootMode_, .Fill = kFill});
    if (code_ != kUpdateOk || worker_.Terminated()) {
        return bootMode_ ? Abort(code_) : Leave(code_);
    }
    inBootloaderPhase_ = false;

    code_ = worker_.ValidateBootloader(bootloaderSize_, bootloaderVersion_);
    if (code_ != kUpdateOk)
        return Leave(code_);
    return StopCheck();
}

UpdateSequence::Exit UpdateSequence::RestartIntoBootloader() {
    code_ = worker_.SetStayInBootloader();
    if (code_ != kUpdateOk)
        return Leave(code_);
    if (StopCheck() != Exit::Continue)
        return Exit::Leave;
    if (device_.RestartDevice() != 0)
        return Leave(kUpdateRestartDeviceFailed);
    if (StopCheck() != Exit::Continue)
        return Exit::Leave;

    // The port goes away while the device restarts.
    if (device_.Close() != 0)
        return ReturnNow(kUpdateCloseFailed);
    if (worker_.Terminated())
        return ReturnNow(kUpdateOk);
    worker_.WaitWithCountdown(kRestartCountdownSeconds);
    if (worker_.Terminated())
        return ReturnNow(kUpdateOk);
    if (device_.Open() != 0)
        return ReturnNow(kUpdateOpenFailed);
    return StopCheck();
}

UpdateSequence::Exit UpdateSequence::WriteDataModules() {
    int mode = 0;
    if (device_.ReadDeviceMode(&mode) != 0)
        return Leave(kUpdateReadDeviceModeFailed);
    if (mode != kBootloaderMode)
        return Leave(kUpdateNotInBootloader);
    if (StopCheck() != Exit::Continue)
        return Exit::Leave;
    inBootloaderPhase_ = true;

    worker_.AnnounceStep(UploadStepText("Softwareversion der Daten im externen Flash"));
    ShowModule();
    code_ = worker_.WriteBytes(true, MEM_EXT_FLASH, ranges_[RANGE_DATA_VERSION].DataStart,
                               buffers_.DataVersion, kVersionBlockSize);
    if (code_ != kUpdateOk)
        return Abort(code_);
    if (worker_.Terminated())
        return Abort(kUpdateOk);

    Exit exit = Exit::Continue;
    if (withSounds_)
        exit = WriteDataModule("Sounds", RANGE_SOUNDS);
    if (exit == Exit::Continue)
        exit = WriteDataModule("Fonts", RANGE_FONTS);
    if (exit == Exit::Continue)
        exit = WriteDataModule("Texte", RANGE_TEXTS);
    if (exit != Exit::Continue)
        return exit;

    worker_.AnnounceStep(UploadStepText("Applikation"));
    ShowModule();
    device_.SetProgress(0);
    if (device_.SetApplicationSize(applicationSize_) != 0) {
        return Abort(kUpdateSetApplicationSizeFailed);
    }
    if (worker_.Terminated())
        return Abort(kUpdateOk);
    // Erased internal flash reads 0xFF, so blocks of only 0xFF need not travel.
    code_ = worker_.UploadModule(File(), MEM_INT_FLASH, ranges_[RANGE_APPLICATION],
                                 {.BootMode = true, .SkipFill = true, .Fill = kFill});
    if (code_ != kUpdateOk || worker_.Terminated())
        return Abort(code_);
    inBootloaderPhase_ = false;
    return Exit::Continue;
}

UpdateSequence::Exit UpdateSequence::WriteDataModule(const char* name, int range) {
    worker_.AnnounceStep(UploadStepText(name));
    ShowModule();
    code_ = worker_.UploadModule(File(), MEM_EXT_FLASH, ranges_[range],
                                 {.BootMode = true, .Fill = kFill});
    if (code_ != kUpdateOk || worker_.Terminated())
        return Abort(code_);
    return Exit::Continue;
}

UpdateSequence::Exit UpdateSequence::StartApplication() {
    worker_.AnnounceStep("die Message \"Update finished successfully!\" auf dem Gerät darstellen");
    if (device_.ShowUpdateSuccess() != 0)
        return Leave(kUpdateShowUpdateSuccessFailed);

    worker_.AnnounceStep("die Applikation starten");
    worker_.SetActionPosition(0);
    worker_.ShowAction(kStartApplicationAction);
    code_ = worker_.SetStartApplication();
    if (code_ != kUpdateOk)
        return Leave(code_);
    if (StopCheck() != Exit::Continue)
        return Exit::Leave;
    if (device_.RestartDevice() != 0)
        return Leave(kUpdateRestartDeviceFailed);

    worker_.ShowAction("");
    worker_.SetTotalPosition(0);
    worker_.SetActionPosition(0);
    return Leave(kUpdateOk);
}

}  // namespace veltrin
