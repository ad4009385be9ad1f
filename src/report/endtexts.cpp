#include "report/endtexts.h"

namespace veltrin {

std::string ErrorTextFor(int code) {
    switch (code) {
        case 1:
            return "Update unsupported for connected device!";
        case 2:
            return "No device found - one device must be connected!";
        case 3:
            return "Multiple devices found - only one device must be connected!";
        case 4:
            return std::string("Update ") + kFamilyLabelQuorvanOtg +
                   " impossible - no data available!";
        case 5:
            return std::string("Update ") + kFamilyLabelTarnovelleK7 +
                   " impossible - no data available!";
        case 6:
            return "The battery status is too low to carry out the update!";
        case 7:
            return "Variant invalid!";
        default:
            return "Exceptional error! (#" + std::to_string(code) + ")";
    }
}

std::string HintTextFor(int code) {
    switch (code) {
        case 1:
            return std::string("Unplug device and plug ") + kFamilyLabelQuorvanOtg + " or " +
                   kFamilyLabelTarnovelleK7 + "\ninto the USB before start update.";
        case 2:
            return "Plug your device into the USB and start update.";
        case 3:
            return "Remove unnecessary devices before the update can be started.";
        case 4:
            return std::string("Unplug ") + kFamilyLabelQuorvanOtg + " - only update of " +
                   kFamilyLabelTarnovelleK7 + " is possible.";
        case 5:
            return std::string("Unplug ") + kFamilyLabelTarnovelleK7 + " - only update of " +
                   kFamilyLabelQuorvanOtg + " is possible.";
        case 6:
            return "Connect charging plug into the device\nbefore restart update.";
        case 7:
            return "Unplug device and contact service.";
        default:
            return "Restart update or unplug the device.";
    }
}

std::string StartCaptionFor(int code) {
    switch (code) {
        case 1:
        case 2:
        case 3:
        case 4:
        case 5:
        case 7:
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
    } else if (code != 0) {
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
