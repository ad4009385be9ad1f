#include "win32ui/enddialog.h"

#include "common/widetext_win32.h"
#include "win32ui/controlids.h"

namespace veltrin::win32ui {
namespace {

// Client area under a standard dialog frame of 550 x 270.
constexpr int kClientWidth = 544;
constexpr int kClientHeight = 241;
constexpr int kMessageX = 8, kMessageY = 8, kMessageWidth = 528, kMessageHeight = 50;
constexpr int kStatusLeft = 14, kStatusTop = 6;
constexpr int kErrorLeft = 14, kErrorTop = 28;
constexpr int kStartX = 8, kStartY = 65, kStartWidth = 528, kStartHeight = 134;
constexpr int kHintLeft = 12, kHintTop = 12;

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
    layout_->SizeClient(kClientWidth, kClientHeight);
    HWND messageBox =
        layout_->AddControl(L"BUTTON", L"", BS_GROUPBOX | WS_VISIBLE, kEndGroupBoxMessage,
                            kMessageX, kMessageY, kMessageWidth, kMessageHeight);
    layout_->SetFont(messageBox, 13);
    // Sizes follow the boxes, never the texts.
    Label_Status =
        labels_->Add(kLabelStatus, kMessageX + kStatusLeft, kMessageY + kStatusTop,
                     kMessageWidth - 2 * kStatusLeft, kMessageHeight - 2 * kStatusTop, 16, true);
    Label_ErrorText =
        labels_->Add(kLabelErrorText, kMessageX + kErrorLeft, kMessageY + kErrorTop, 0, 0, 13);
    labels_->SetLook(Label_ErrorText, {ToColorRef(EndDialogLogic::ErrorTextColor())});

    HWND startBox = layout_->AddControl(L"BUTTON", L"", BS_GROUPBOX | WS_VISIBLE, kEndGroupBoxStart,
                                        kStartX, kStartY, kStartWidth, kStartHeight);
    layout_->SetFont(startBox, 13);
    Label_Message_Start =
        labels_->Add(kLabelMessageStart, kStartX + kHintLeft, kStartY + kHintTop,
                     kStartWidth - 2 * kHintLeft, kStartHeight - 2 * kHintTop, 16);
    labels_->SetLook(Label_Message_Start, {CLR_INVALID, true, true, true});

    HWND exitButton = layout_->AddControl(
        L"BUTTON", WideFromUtf8(EndDialogLogic::kExitCaption).c_str(),
        BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, kButtonExit, 194, 208, 150, 25);
    layout_->SetFont(exitButton, 13);
    Button_Start = layout_->AddControl(
        L"BUTTON", WideFromUtf8(EndDialogLogic::kStartCaptionAtCreation).c_str(),
        BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, kButtonStart, 372, 208, 150, 25);
    layout_->SetFont(Button_Start, 13);

    // The error line lies over the lower part of the status line; the boxes under everything.
    SetWindowPos(Label_ErrorText, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(messageBox, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(startBox, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void EndDialog::ShowResult(bool terminated, int code, const std::string& text) {
    logic_.ShowResult(terminated, code, text);
    const EndTexts& texts = logic_.Texts();
    SetWindowTextW(Handle(), WideFromUtf8(texts.Caption).c_str());
    const bool centred = logic_.StatusLayout() == EndDialogLogic::StatusPlacement::Centred;
    labels_->SetLook(Label_Status, {ToColorRef(logic_.StatusColor()), centred, centred, false});
    labels_->SetText(Label_Status, texts.Status);
    labels_->SetAutoSizeText(Label_ErrorText, texts.ErrorText, kMessageX + kErrorLeft,
                             kMessageY + kErrorTop);
    labels_->SetText(Label_Message_Start, texts.Message);
    SetWindowTextW(Button_Start, WideFromUtf8(texts.StartCaption).c_str());
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
    RunModal(owner_, Handle(), Button_Start, done_, hook);
    return result_;
}

void EndDialog::Leave(EndDialogLogic::Exit exit) {
    if (const std::optional<int> result = EndDialogLogic::ResultOf(exit)) {
        result_ = *result;
        done_ = true;
    }
}

LRESULT EndDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case kButtonStart:
                    Leave(EndDialogLogic::Exit::StartButton);
                    return 0;
                case kButtonExit:
                    Leave(EndDialogLogic::Exit::ExitButton);
                    return 0;
                case IDCANCEL:  // Escape
                    Leave(EndDialogLogic::Exit::Escape);
                    return 0;
                default:
                    break;
            }
            break;
        case WM_CLOSE:  // Alt+F4
            Leave(EndDialogLogic::Exit::CloseRequest);
            return 0;
        case DM_GETDEFID:
            return DefaultButtonReply(Handle(), kButtonStart);
        default:
            break;
    }
    return ScaledWindow::HandleMessage(message, wParam, lParam);
}

}  // namespace veltrin::win32ui
