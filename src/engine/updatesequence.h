#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "data/clintelhex.h"
#include "data/firmwarelayout.h"
#include "data/firmwaretempfile.h"
#include "engine/pipettedevice.h"
#include "engine/runevents.h"
#include "protocol/clconnectpipetten.h"

namespace veltrin {

// The update of one identified pipette, from re-opening its port to the start of its new
// application: checks, firmware analysis, questions, bootloader, restart into the bootloader,
// data modules and application. One object per run; the worker's RunUpdate drives it, with the
// found port already selected on the connection.
class UpdateSequence {
public:
    UpdateSequence(RunEvents& run, ClConnectPipetten& connection, ClIntelHex& hexReader);

    // Result code of the run; endText is set only when the run reached its regular end.
    int Run(std::string& endText);

    // True while a failure must be reported to the device with SignalUpdateFailed.
    bool InBootloaderPhase() const { return inBootloaderPhase_; }

private:
    // How a step group ends: go on, leave through the port close (and the parameter restore),
    // or return at once (after a failed restart into the bootloader).
    enum class Exit { Continue, Leave, ReturnNow };

    Exit RunSteps();
    Exit CheckDevice();
    Exit PrepareFirmware();
    Exit ReadDeviceTexts();
    Exit AskUser();
    Exit ReadMode();
    Exit WriteBootloader();
    Exit RestartIntoBootloader();
    Exit WriteDataModules();
    Exit WriteDataModule(const char* name, int range);
    Exit StartApplication();

    std::FILE* File() const { return file_ ? file_->Get() : nullptr; }
    Exit Leave(int code);
    Exit Abort(int code);
    Exit ReturnNow(int code);
    Exit StopCheck();
    void ShowModule();

    RunEvents& run_;
    ClConnectPipetten& connection_;
    ClIntelHex& hexReader_;
    PipetteDevice device_;

    int code_ = 0;
    std::string title_;
    int deviceType_ = 0;
    // The electronic pipette keeps variant parameters that must be written back after the update.
    bool restoresVariant_ = false;
    bool withSounds_ = false;
    int moduleCount_ = 0;
    int moduleNumber_ = 0;
    // The firmware text for the HEX reader; null until the family is known.
    std::unique_ptr<FirmwareTempFile> file_;
    TSHexRange ranges_[kFirmwareRangeCount] = {};
    FirmwareBuffers buffers_;
    std::uint8_t* bootloaderVersion_ = nullptr;
    std::uint8_t deviceVersion_[kVersionTextSize] = {};
    bool bootMode_ = false;
    bool inBootloaderPhase_ = false;
    std::int32_t variantId_ = 0;
    std::uint32_t bootloaderSize_ = 0;
    std::uint32_t applicationSize_ = 0;
};

}  // namespace veltrin
