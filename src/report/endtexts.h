#pragma once

#include <string>

namespace veltrin {

// The words that end every update run, shared by the end dialog and the command-line front end.
struct EndTexts {
    enum class Look { Cancelled, Error, Success };
    Look look = Look::Success;
    std::string Caption;       // window caption
    std::string Status;        // the status line
    std::string ErrorText;     // empty unless an error
    std::string Message;       // hint or success message
    std::string StartCaption;  // caption of the button that starts the next run
};

constexpr char kFamilyLabelQuorvanOtg[] = "Quorvan/plus";
constexpr char kFamilyLabelTarnovelleK7[] = "Tarnovelle K7/K7x";

std::string ErrorTextFor(int code);
std::string HintTextFor(int code);
std::string StartCaptionFor(int code);
// First matching case wins: cancelled, then an error code, then success.
EndTexts ResultTexts(bool terminated, int code, const std::string& endText);

}  // namespace veltrin
