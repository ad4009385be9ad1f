#include "engine/updatesequence.h"

#include <string>

#include "engine/devicefamily.h"
#include "engine/devicerestart.h"
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

UpdateSequence::UpdateSequence(RunEvents& run, ClConnectPipetten& connection, ClIntelHex& hexReader)
    : run_(run),
      connection_(connection),
      hexReader_(hexReader),
      device_(connection, hexReader, run) {}

int UpdateSequence::Run(std::string& endText) {
    if (connection_.Open() != 0)
        return kUpdateOpenFailed;

    const Exit exit = RunSteps();
    file_.reset();
    if (exit == Exit::ReturnNow)
        return code_;

    connection_.Close();
    if (restoresVariant_ && !run_.Terminated() && code_ == kUpdateOk) {
        code_ = device_.RestoreVariantParameters(variantId_);
    }
    if (!run_.Terminated() && code_ == kUpdateOk)
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
    if (connection_.SignalUpdateFailed() != 0)
        code_ = kUpdateSignalUpdateFailedFailed;
    inBootloaderPhase_ = false;
    run_.Params().LeftInBootloader = true;
    return Exit::Leave;
}

UpdateSequence::Exit UpdateSequence::ReturnNow(int code) {
    code_ = code;
    return Exit::ReturnNow;
}

UpdateSequence::Exit UpdateSequence::StopCheck() {
    return run_.Terminated() ? Exit::Leave : Exit::Continue;
}

void UpdateSequence::ShowModule() {
    run_.SetActionPosition(0);
    ++moduleNumber_;
    run_.ShowAction("Update module " + std::to_string(moduleNumber_) + "/" +
                    std::to_string(moduleCount_));
}

UpdateSequence::Exit UpdateSequence::CheckDevice() {
    run_.AnnounceStep("den Akkustatus auslesen und überprüfen");
    int battery = 0;
    if (connection_.ReadBatteryStatus(&battery) != 0)
        return Leave(kUpdateReadBatteryStatusFailed);
    if (!IsBatteryOk(battery)) {
        // The refused run's record still names the pipette: its texts are only read, and a
        // failure to read them does not hide the battery's state.
        ReadDeviceTexts();
        run_.ReportDevice();
        return Leave(kUpdateBatteryLow);
    }
    if (StopCheck() != Exit::Continue)
        return Exit::Leave;

    run_.AnnounceStep("die Device-Id auslesen");
    if (connection_.ReadDeviceId(&deviceType_) != 0)
        return Leave(kUpdateReadDeviceIdFailed);
    return StopCheck();
}

UpdateSequence::Exit UpdateSequence::ReadDeviceTexts() {
    const int code = device_.ReadDeviceTexts(run_.Params().Device, deviceVersion_);
    if (code != kUpdateOk)
        return Leave(code);
    return StopCheck();
}

UpdateSequence::Exit UpdateSequence::AskUser() {
    const Exit exit = ReadDeviceTexts();
    // The owner's records get the texts read so far, also when a read failed.
    run_.ReportDevice();
    if (exit != Exit::Continue)
        return exit;

    const char* question = VersionQuestionFor(buffers_.AppVersion, deviceVersion_);
    if (question != nullptr && !run_.AskYesNo(question))
        run_.Terminate();
    if (StopCheck() != Exit::Continue)
        return Exit::Leave;

    if (!run_.AskYesNo(kQuestionUserData))
        run_.Terminate();
    return StopCheck();
}

UpdateSequence::Exit UpdateSequence::ReadMode() {
    run_.AnnounceStep("den Device-Mode auslesen");
    int mode = 0;
    if (connection_.ReadDeviceMode(&mode) != 0)
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
        code_ = device_.ReadVariantId(variantId_);
        if (code_ != kUpdateOk)
            return Leave(code_);
        if (StopCheck() != Exit::Continue)
            return Exit::Leave;
    }
    return Exit::Continue;
}

UpdateSequence::Exit UpdateSequence::WriteBootloader() {
    run_.AnnounceStep(UploadStepText("Bootloader"));
    ShowModule();
    code_ = device_.InvalidateBootloader();
    if (code_ != kUpdateOk)
        return Leave(code_);
    if (StopCheck() != Exit::Continue)
        return Exit::Leave;

    inBootloaderPhase_ = bootMode_;
    code_ = device_.UploadModule(File(), MEM_EXT_FLASH, ranges_[RANGE_BOOTLOADER],
                                 {.BootMode = bootMode_, .Fill = kFill});
    if (code_ != kUpdateOk || run_.Terminated()) {
        return bootMode_ ? Abort(code_) : Leave(code_);
    }
    inBootloaderPhase_ = false;

    code_ = device_.ValidateBootloader(bootloaderSize_, bootloaderVersion_);
    if (code_ != kUpdateOk)
        return Leave(code_);
    return StopCheck();
}

UpdateSequence::Exit UpdateSequence::RestartIntoBootloader() {
    bool portLeftClosed = false;
    code_ = device_.RestartIntoBootloader(portLeftClosed);
    if (portLeftClosed)
        return ReturnNow(code_);
    if (code_ != kUpdateOk)
        return Leave(code_);
    return StopCheck();
}

UpdateSequence::Exit UpdateSequence::WriteDataModules() {
    int mode = 0;
    if (connection_.ReadDeviceMode(&mode) != 0)
        return Leave(kUpdateReadDeviceModeFailed);
    if (mode != kBootloaderMode)
        return Leave(kUpdateNotInBootloader);
    if (StopCheck() != Exit::Continue)
        return Exit::Leave;
    inBootloaderPhase_ = true;

    run_.AnnounceStep(UploadStepText("Softwareversion der Daten im externen Flash"));
    ShowModule();
    code_ = device_.WriteBytes(true, MEM_EXT_FLASH, ranges_[RANGE_DATA_VERSION].DataStart,
                               buffers_.DataVersion, kVersionBlockSize);
    if (code_ != kUpdateOk)
        return Abort(code_);
    if (run_.Terminated())
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

    run_.AnnounceStep(UploadStepText("Applikation"));
    ShowModule();
    connection_.SetProgress(0);
    if (connection_.SetApplicationSize(applicationSize_) != 0) {
        return Abort(kUpdateSetApplicationSizeFailed);
    }
    if (run_.Terminated())
        return Abort(kUpdateOk);
    // Erased internal flash reads 0xFF, so blocks of only 0xFF need not travel.
    code_ = device_.UploadModule(File(), MEM_INT_FLASH, ranges_[RANGE_APPLICATION],
                                 {.BootMode = true, .SkipFill = true, .Fill = kFill});
    if (code_ != kUpdateOk || run_.Terminated())
        return Abort(code_);
    inBootloaderPhase_ = false;
    return Exit::Continue;
}

UpdateSequence::Exit UpdateSequence::WriteDataModule(const char* name, int range) {
    run_.AnnounceStep(UploadStepText(name));
    ShowModule();
    code_ = device_.UploadModule(File(), MEM_EXT_FLASH, ranges_[range],
                                 {.BootMode = true, .Fill = kFill});
    if (code_ != kUpdateOk || run_.Terminated())
        return Abort(code_);
    return Exit::Continue;
}

UpdateSequence::Exit UpdateSequence::StartApplication() {
    run_.AnnounceStep("die Message \"Update finished successfully!\" auf dem Gerät darstellen");
    if (connection_.ShowUpdateSuccess() != 0)
        return Leave(kUpdateShowUpdateSuccessFailed);

    run_.AnnounceStep("die Applikation starten");
    run_.SetActionPosition(0);
    run_.ShowAction(kStartApplicationAction);
    code_ = device_.SetStartApplication();
    if (code_ != kUpdateOk)
        return Leave(code_);
    if (StopCheck() != Exit::Continue)
        return Exit::Leave;
    if (connection_.RestartDevice() != 0)
        return Leave(kUpdateRestartDeviceFailed);

    run_.ShowAction("");
    run_.SetTotalPosition(0);
    run_.SetActionPosition(0);
    return Leave(kUpdateOk);
}

}  // namespace veltrin
