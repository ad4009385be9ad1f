#include "windowlogic/questiondialoglogic.h"

#include "common/texttrim.h"

namespace veltrin {

void QuestionDialogLogic::SetMessage(const std::string& text) {
    message_ = TrimText(text);
}

}  // namespace veltrin
