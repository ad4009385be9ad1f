#include "win32ui/questiondialog.h"

#include "common/widetext_win32.h"
#include "win32ui/controlids.h"

namespace veltrin::win32ui {
namespace {

// Client area under a standard dialog frame of 450 x 180.
constexpr int kClientWidth = 444;
constexpr int kClientHeight = 151;
constexpr int kBoxX = 8, kBoxY = 8, kBoxWidth = 428, kBoxHeight = 102;
constexpr int kLabelLeft = 12, kLabelTop = 12;

}  // namespace

QuestionDialog::QuestionDialog(HWND owner) : owner_(owner) {
    // A dialog frame with a close box; WS_EX_CONTROLPARENT lets Tab walk the buttons.
    if (!Create(kQuestionDialogClass, WS_POPUP | WS_CAPTION | WS_SYSMENU,
                WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, owner)) {
        return;
    }
    layout_ = std::make_unique<ScaledLayout>(Handle());
    labels_ = std::make_unique<LabelPainter>(*layout_);
    BuildForm();
}

void QuestionDialog::BuildForm() {
    SetWindowTextW(Handle(), WideFromUtf8(QuestionDialogLogic::kCaption).c_str());
    layout_->SizeClient(kClientWidth, kClientHeight);

    HWND box = layout_->AddControl(L"BUTTON", L"", BS_GROUPBOX | WS_VISIBLE, kQuestionGroupBox,
                                   kBoxX, kBoxY, kBoxWidth, kBoxHeight);
    layout_->SetFont(box, 11);
    // The label fills its box whatever the text; lines break only at the text's own breaks.
    Label_Message = labels_->Add(kQuestionLabel, kBoxX + kLabelLeft, kBoxY + kLabelTop,
                                 kBoxWidth - 2 * kLabelLeft, kBoxHeight - 2 * kLabelTop, 16);
    labels_->SetLook(Label_Message, {CLR_INVALID, false, true, false});

    Button_Yes =
        layout_->AddControl(L"BUTTON", WideFromUtf8(QuestionDialogLogic::kYesCaption).c_str(),
                            BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, kButtonYes, 239, 118, 75, 25);
    layout_->SetFont(Button_Yes, 13);
    HWND no =
        layout_->AddControl(L"BUTTON", WideFromUtf8(QuestionDialogLogic::kNoCaption).c_str(),
                            BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, kButtonNo, 343, 118, 75, 25);
    layout_->SetFont(no, 13);
    SetWindowPos(box, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool QuestionDialog::Ask(const std::string& question, int offset, const DialogShownHook& hook) {
    if (Handle() == nullptr) {
        return false;
    }
    logic_.SetMessage(question);
    labels_->SetText(Label_Message, logic_.Message());
    PlaceBelowRight(owner_, Handle(), offset);
    done_ = false;
    yes_ = false;
    RunModal(owner_, Handle(), Button_Yes, done_, hook);
    return yes_;
}

void QuestionDialog::Leave(QuestionDialogLogic::Exit exit) {
    yes_ = QuestionDialogLogic::IsYes(exit);
    done_ = true;
}

LRESULT QuestionDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case kButtonYes:
                    Leave(QuestionDialogLogic::Exit::YesButton);
                    return 0;
                case kButtonNo:
                    Leave(QuestionDialogLogic::Exit::NoButton);
                    return 0;
                case IDCANCEL:  // Escape
                    Leave(QuestionDialogLogic::Exit::Escape);
                    return 0;
                default:
                    break;
            }
            break;
        case WM_CLOSE:
            Leave(QuestionDialogLogic::Exit::CloseBox);
            return 0;
        case DM_GETDEFID:
            return DefaultButtonReply(Handle(), kButtonYes);
        default:
            break;
    }
    return ScaledWindow::HandleMessage(message, wParam, lParam);
}

}  // namespace veltrin::win32ui
