#include "win32ui/questiondialog.h"

#include "win32ui/controlids.h"
#include "win32ui/messageorigin.h"
#include "win32ui/dialogaccessible.h"
#include "win32ui/viewtext.h"

namespace veltrin::win32ui {
namespace {
using C = FormControl;
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
    SetWindowTextW(Handle(), ViewText(QuestionDialogLogic::kCaption).c_str());
    const FormRect client = PlaceInWindow(C::QuestionDialog);
    layout_->SizeClient(client.Width, client.Height);

    HWND box = AddFormControl(*layout_, L"BUTTON", L"", BS_GROUPBOX | WS_VISIBLE, kQuestionGroupBox,
                              C::Question_GroupBox_Message);
    Label_Message = labels_->Add(kQuestionLabel, C::Question_Label_Message);
    Button_Yes =
        AddFormControl(*layout_, L"BUTTON", ViewText(QuestionDialogLogic::kYesCaption).c_str(),
                       BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, kButtonYes, C::Question_Button_Yes);
    Button_No =
        AddFormControl(*layout_, L"BUTTON", ViewText(QuestionDialogLogic::kNoCaption).c_str(),
                       BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, kButtonNo, C::Question_Button_No);
    SetWindowPos(box, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    keys_ = std::make_unique<WindowKeys>(Handle(), C::QuestionDialog,
                                         [this](FormControl c) { return ControlOf(c); });
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
    RunModal(owner_, Handle(), *keys_, done_, hook);
    return yes_;
}

HWND QuestionDialog::ControlOf(FormControl control) const {
    switch (control) {
        case C::Question_Button_Yes:
            return Button_Yes;
        case C::Question_Button_No:
            return Button_No;
        default:
            return nullptr;
    }
}

void QuestionDialog::Leave(QuestionDialogLogic::Exit exit) {
    yes_ = QuestionDialogLogic::IsYes(exit);
    done_ = true;
}

LRESULT QuestionDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (LRESULT focused = 0; keys_ && keys_->HandleFocusMessage(message, wParam, focused)) {
        return focused;
    }
    switch (message) {
        case WM_COMMAND:
            // Only the buttons' own clicks count: a forged command must never answer Yes to
            // the question that deletes the device's data.
            if (IsClickOf(Button_Yes, wParam, lParam)) {
                Leave(QuestionDialogLogic::Exit::YesButton);
            } else if (IsClickOf(Button_No, wParam, lParam)) {
                Leave(QuestionDialogLogic::Exit::NoButton);
            } else if (IsEscapeCommand(wParam, lParam) && keys_->EscapeLeaves()) {
                Leave(QuestionDialogLogic::Exit::Escape);
            }
            return 0;
        case WM_CLOSE:
            Leave(QuestionDialogLogic::Exit::CloseBox);
            return 0;
        case WM_GETOBJECT: {
            LRESULT object = 0;
            if (AnswerAsDialog(Handle(), wParam, lParam, object)) {
                return object;
            }
            break;
        }
        case DM_GETDEFID:
            return keys_->DefaultId();
        default:
            break;
    }
    return ScaledWindow::HandleMessage(message, wParam, lParam);
}

}  // namespace veltrin::win32ui
