#include "win32ui/enddialog.h"

#include "win32ui/controlids.h"
#include "win32ui/messageorigin.h"
#include "win32ui/dialogaccessible.h"
#include "win32ui/viewtext.h"

namespace veltrin::win32ui {
namespace {

using C = FormControl;

COLORREF ToColorRef(TextColor color) {
    return RGB(color.Red, color.Green, color.Blue);
}

}  // namespace

EndDialog::EndDialog(HWND owner) : owner_(owner) {
    // A caption without any caption buttons.
    if (!Create(kEndDialogClass, WS_POPUP | WS_CAPTION, WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT,
                owner)) {
        return;
    }
    layout_ = std::make_unique<ScaledLayout>(Handle());
    labels_ = std::make_unique<LabelPainter>(*layout_);
    BuildForm();
}

void EndDialog::BuildForm() {
    const FormRect client = PlaceInWindow(C::EndDialog);
    layout_->SizeClient(client.Width, client.Height);
    HWND messageBox = AddFormControl(*layout_, L"BUTTON", L"", BS_GROUPBOX | WS_VISIBLE,
                                     kEndGroupBoxMessage, C::End_GroupBox_Message);
    Label_Status = labels_->Add(kLabelStatus, C::End_Label_Status);
    Label_ErrorText = labels_->Add(kLabelErrorText, C::End_Label_ErrorText);
    labels_->SetLook(Label_ErrorText, {ToColorRef(EndDialogLogic::ErrorTextColor())});

    HWND startBox = AddFormControl(*layout_, L"BUTTON", L"", BS_GROUPBOX | WS_VISIBLE,
                                   kEndGroupBoxStart, C::End_GroupBox_Start);
    Label_Message_Start = labels_->Add(kLabelMessageStart, C::End_Label_Message_Start);

    Button_Exit =
        AddFormControl(*layout_, L"BUTTON", ViewText(EndDialogLogic::kExitCaption).c_str(),
                       BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, kButtonExit, C::End_Button_Exit);
    Button_Start = AddFormControl(
        *layout_, L"BUTTON", ViewText(EndDialogLogic::kStartCaptionAtCreation).c_str(),
        BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, kButtonStart, C::End_Button_Start);

    // The error line lies over the lower part of the status line; the boxes under everything.
    SetWindowPos(Label_ErrorText, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(messageBox, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(startBox, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    keys_ = std::make_unique<WindowKeys>(Handle(), C::EndDialog,
                                         [this](FormControl c) { return ControlOf(c); });
}

void EndDialog::ShowResult(bool terminated, int code, const std::string& text) {
    logic_.ShowResult(terminated, code, text);
    const EndTexts& texts = logic_.Texts();
    SetWindowTextW(Handle(), ViewText(texts.Caption).c_str());
    const bool centred = logic_.StatusLayout() == EndDialogLogic::StatusPlacement::Centred;
    labels_->SetLook(Label_Status, {ToColorRef(logic_.StatusColor()), centred, centred, false});
    // Sizes follow the boxes, never the texts.
    labels_->SetText(Label_Status, texts.Status);
    labels_->SetText(Label_ErrorText, texts.ErrorText);
    labels_->SetText(Label_Message_Start, texts.Message);
    SetWindowTextW(Button_Start, ViewText(texts.StartCaption).c_str());
}

int EndDialog::Show(bool terminated, int code, const std::string& text, int offset,
                    const DialogShownHook& hook) {
    if (Handle() == nullptr) {
        return 0;
    }
    PlaceBelowRight(owner_, Handle(), offset);
    ShowResult(terminated, code, text);
    done_ = false;
    result_ = 0;
    RunModal(owner_, Handle(), *keys_, done_, hook);
    return result_;
}

HWND EndDialog::ControlOf(FormControl control) const {
    switch (control) {
        case C::End_Button_Exit:
            return Button_Exit;
        case C::End_Button_Start:
            return Button_Start;
        default:
            return nullptr;
    }
}

void EndDialog::Leave(EndDialogLogic::Exit exit) {
    if (const std::optional<int> result = EndDialogLogic::ResultOf(exit)) {
        result_ = *result;
        done_ = true;
    }
}

LRESULT EndDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (LRESULT focused = 0; keys_ && keys_->HandleFocusMessage(message, wParam, focused)) {
        return focused;
    }
    switch (message) {
        case WM_COMMAND:
            // Only the buttons' own clicks count, as in the question.
            if (IsClickOf(Button_Start, wParam, lParam)) {
                Leave(EndDialogLogic::Exit::StartButton);
            } else if (IsClickOf(Button_Exit, wParam, lParam)) {
                Leave(EndDialogLogic::Exit::ExitButton);
            } else if (IsEscapeCommand(wParam, lParam) && keys_->EscapeLeaves()) {
                Leave(EndDialogLogic::Exit::Escape);
            }
            return 0;
        case WM_CLOSE:  // Alt+F4
            Leave(EndDialogLogic::Exit::CloseRequest);
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
