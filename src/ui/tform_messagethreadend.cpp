#include "ui/tform_messagethreadend.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "ui/dialogdescription.h"
#include "ui/formtools.h"
#include "ui/heldkeyfilter.h"
#include "ui/windowkeys.h"

namespace veltrin {
namespace {

QColor ToQColor(TextColor color) {
    return QColor(color.Red, color.Green, color.Blue);
}

QPushButton* MakeButton(QWidget* parent, const char* objectName, const char* text, FormControl id) {
    auto* button = new QPushButton(QString::fromLatin1(text), parent);
    button->setObjectName(QString::fromLatin1(objectName));
    ApplyLayout(button, id);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

TForm_MessageThreadEnd::TForm_MessageThreadEnd(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("Form_MessageThreadEnd"));
    ApplyLayout(this, FormControl::EndDialog);
    setFont(TahomaFont(LayoutOf(FormControl::EndDialog).FontPixels));

    heldKeys_ = new HeldKeyFilter(this);
    GroupBox_Message = new QGroupBox(this);
    GroupBox_Message->setObjectName(QStringLiteral("GroupBox_Message"));
    ApplyLayout(GroupBox_Message, FormControl::End_GroupBox_Message);

    Label_Status = MakeLabel(GroupBox_Message, "Label_Status", FormControl::End_Label_Status);

    // Created after the status label so that it lies on top of the status label's lower part.
    Label_ErrorText =
        MakeLabel(GroupBox_Message, "Label_ErrorText", FormControl::End_Label_ErrorText);
    SetTextColor(Label_ErrorText, ToQColor(EndDialogLogic::ErrorTextColor()));

    GroupBox_Start = new QGroupBox(this);
    GroupBox_Start->setObjectName(QStringLiteral("GroupBox_Start"));
    ApplyLayout(GroupBox_Start, FormControl::End_GroupBox_Start);

    Label_Message_Start =
        MakeLabel(GroupBox_Start, "Label_Message_Start", FormControl::End_Label_Message_Start);

    Button_Exit =
        MakeButton(this, "Button_Exit", EndDialogLogic::kExitCaption, FormControl::End_Button_Exit);
    connect(Button_Exit, &QPushButton::clicked, this, &TForm_MessageThreadEnd::Button_ExitClick);
    Button_Start = MakeButton(this, "Button_Start", EndDialogLogic::kStartCaptionAtCreation,
                              FormControl::End_Button_Start);
    connect(Button_Start, &QPushButton::clicked, this, &TForm_MessageThreadEnd::Button_StartClick);
    keys_ = new WindowKeys(
        this, FormControl::EndDialog, [this](FormControl c) { return ControlOf(c); },
        [this] { Leave(EndDialogLogic::Exit::Escape); });
}

void TForm_MessageThreadEnd::ShowResult(bool terminated, int code, const std::string& text) {
    logic_.ShowResult(terminated, code, text);
    const EndTexts& texts = logic_.Texts();
    setWindowTitle(ToQString(texts.Caption));
    Label_Status->setAlignment(logic_.StatusLayout() == EndDialogLogic::StatusPlacement::TopLeft
                                   ? (Qt::AlignLeft | Qt::AlignTop)
                                   : Qt::Alignment(Qt::AlignCenter));
    SetTextColor(Label_Status, ToQColor(logic_.StatusColor()));
    // Sizes follow the boxes, never the texts.
    SetLabelText(Label_Status, FormControl::End_Label_Status, texts.Status);
    SetLabelText(Label_ErrorText, FormControl::End_Label_ErrorText, texts.ErrorText);
    SetLabelText(Label_Message_Start, FormControl::End_Label_Message_Start, texts.Message);
    Button_Start->setText(ToQString(texts.StartCaption));
    DescribeByLabels(this);
}

void TForm_MessageThreadEnd::Button_StartClick() {
    Leave(EndDialogLogic::Exit::StartButton);
}

void TForm_MessageThreadEnd::Button_ExitClick() {
    Leave(EndDialogLogic::Exit::ExitButton);
}

void TForm_MessageThreadEnd::reject() {
    Leave(EndDialogLogic::Exit::Escape);
}

void TForm_MessageThreadEnd::closeEvent(QCloseEvent* event) {
    event->ignore();
    Leave(EndDialogLogic::Exit::CloseRequest);
}

void TForm_MessageThreadEnd::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    heldKeys_->Reset();
    keys_->FocusFirst();
}

QWidget* TForm_MessageThreadEnd::ControlOf(FormControl control) const {
    switch (control) {
        case FormControl::End_Button_Exit:
            return Button_Exit;
        case FormControl::End_Button_Start:
            return Button_Start;
        default:
            return nullptr;
    }
}

void TForm_MessageThreadEnd::Leave(EndDialogLogic::Exit exit) {
    if (const std::optional<int> result = EndDialogLogic::ResultOf(exit)) {
        done(*result);
    }
}

}  // namespace veltrin
