#include "report/endtexts.h"

#include "report/resultcodes.h"

namespace veltrin {

std::string ErrorTextFor(int code) {
    switch (code) {
        case kUpdateUnsupportedDevice:
            return "Update unsupported for connected device!";
        case kUpdateNoDevice:
            return "No device found - one device must be connected!";
        case kUpdateSeveralDevices:
            return "Multiple devices found - only one device must be connected!";
        case kUpdateNoQuorvanOtgFirmware:
            return std::string("Update ") + kFamilyLabelQuorvanOtg +
                   " impossible - no data available!";
        case kUpdateNoTarnovelleK7Firmware:
            return std::string("Update ") + kFamilyLabelTarnovelleK7 +
                   " impossible - no data available!";
        case kUpdateBatteryLow:
            return "The battery status is too low to carry out the update!";
        case kUpdateNoKnownVariant:
            return "Variant invalid!";
        default:
            return "Exceptional error! (#" + std::to_string(code) + ")";
    }
}

std::string HintTextFor(int code) {
    switch (code) {
        case kUpdateUnsupportedDevice:
            return std::string("Unplug device and plug ") + kFamilyLabelQuorvanOtg + " or " +
                   kFamilyLabelTarnovelleK7 + "\ninto the USB before start update.";
        case kUpdateNoDevice:
            return "Plug your device into the USB and start update.";
        case kUpdateSeveralDevices:
            return "Remove unnecessary devices before the update can be started.";
        case kUpdateNoQuorvanOtgFirmware:
            return std::string("Unplug ") + kFamilyLabelQuorvanOtg + " - only update of " +
                   kFamilyLabelTarnovelleK7 + " is possible.";
        case kUpdateNoTarnovelleK7Firmware:
            return std::string("Unplug ") + kFamilyLabelTarnovelleK7 + " - only update of " +
                   kFamilyLabelQuorvanOtg + " is possible.";
        case kUpdateBatteryLow:
            return "Connect charging plug into the device\nbefore restart update.";
        case kUpdateNoKnownVariant:
            return "Unplug device and contact service.";
        default:
            return "Restart update or unplug the device.";
    }
}

std::string StartCaptionFor(int code) {
    switch (code) {
        case kUpdateUnsupportedDevice:
        case kUpdateNoDevice:
        case kUpdateSeveralDevices:
        case kUpdateNoQuorvanOtgFirmware:
        case kUpdateNoTarnovelleK7Firmware:
        case kUpdateNoKnownVariant:
            return "Start Update";
        default:
            return "Restart Update";
    }
}

EndTexts ResultTexts(bool terminated, int code, const std::string& endText) {
    EndTexts texts;
    if (terminated) {
        texts.look = EndTexts::Look::Cancelled;
        texts.Caption = "Update terminated";
        texts.Status = "The update was ended by the user";
        texts.Message = "Restart update or unplug the device.";
        texts.StartCaption = "Restart Update";
    } else if (code != kUpdateOk) {
        texts.look = EndTexts::Look::Error;
        texts.Caption = "Update terminated";
        texts.Status = "The update was terminated prematurely due to an error";
        texts.ErrorText = ErrorTextFor(code);
        texts.Message = HintTextFor(code);
        texts.StartCaption = StartCaptionFor(code);
    } else {
        texts.look = EndTexts::Look::Success;
        texts.Caption = "Update finished";
        texts.Status = "Update successful";
        texts.Message = endText +
                        " has been installed.\nUnplug the device.\n\n"
                        "For updating next device plug it into the USB port\n"
                        "and start update.";
        texts.StartCaption = "Update next device";
    }
    return texts;
}

}  // namespace veltrin
