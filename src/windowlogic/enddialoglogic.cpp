#include "windowlogic/enddialoglogic.h"

namespace veltrin {

void EndDialogLogic::ShowResult(bool terminated, int code, const std::string& text) {
    texts_ = ResultTexts(terminated, code, text);
}

TextColor EndDialogLogic::StatusColor() const {
    return texts_.look == EndTexts::Look::Success ? kGreen : kRed;
}

EndDialogLogic::StatusPlacement EndDialogLogic::StatusLayout() const {
    return texts_.look == EndTexts::Look::Error ? StatusPlacement::TopLeft
                                                : StatusPlacement::Centred;
}

std::optional<int> EndDialogLogic::ResultOf(Exit exit) {
    switch (exit) {
        case Exit::StartButton:
            return kResultStart;
        case Exit::ExitButton:
            return kResultExit;
        case Exit::CloseRequest:
        case Exit::Escape:
            break;
    }
    return std::nullopt;
}

}  // namespace veltrin
