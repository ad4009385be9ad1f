#include "windowlogic/questiondialoglogic.h"

#include "common/texttrim.h"

namespace veltrin {

void QuestionDialogLogic::SetMessage(const std::string& text) {
    message_ = TrimText(text);
}

QuestionDialogLogic::Exit QuestionDialogLogic::EnterPresses(std::optional<Exit> focusedButton) {
    if (focusedButton == Exit::YesButton || focusedButton == Exit::NoButton) {
        return *focusedButton;
    }
    return kFocusAtOpen;
}

}  // namespace veltrin
