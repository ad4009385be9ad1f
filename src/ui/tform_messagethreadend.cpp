#include "ui/tform_messagethreadend.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "ui/formtools.h"

namespace veltrin {
namespace {

// Client area under a standard dialog frame of 550 x 270.
constexpr int kClientWidth = 544;
constexpr int kClientHeight = 241;

QColor ToQColor(TextColor color) {
    return QColor(color.Red, color.Green, color.Blue);
}

QPushButton* MakeButton(QWidget* parent, const char* objectName, const char* text, int x) {
    auto* button = new QPushButton(QString::fromLatin1(text), parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setGeometry(x, 208, 150, 25);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

TForm_MessageThreadEnd::TForm_MessageThreadEnd(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("Form_MessageThreadEnd"));
    setFont(TahomaFont(13));
    setFixedSize(kClientWidth, kClientHeight);

    GroupBox_Message = new QGroupBox(this);
    GroupBox_Message->setObjectName(QStringLiteral("GroupBox_Message"));
    GroupBox_Message->setGeometry(8, 8, 528, 50);

    Label_Status = MakePlainLabel(GroupBox_Message, "Label_Status", 14, 6);
    Label_Status->setFont(TahomaFont(16, true));

    // Created after the status label so that it lies on top of the status label's lower part.
    Label_ErrorText = MakePlainLabel(GroupBox_Message, "Label_ErrorText", 14, 28);
    Label_ErrorText->setFont(TahomaFont(13));
    SetTextColor(Label_ErrorText, ToQColor(EndDialogLogic::ErrorTextColor()));

    GroupBox_Start = new QGroupBox(this);
    GroupBox_Start->setObjectName(QStringLiteral("GroupBox_Start"));
    GroupBox_Start->setGeometry(8, 65, 528, 134);

    Label_Message_Start = MakePlainLabel(GroupBox_Start, "Label_Message_Start", 12, 12);
    Label_Message_Start->setFont(TahomaFont(16));
    Label_Message_Start->setAlignment(Qt::AlignCenter);
    Label_Message_Start->setWordWrap(true);

    Button_Exit = MakeButton(this, "Button_Exit", EndDialogLogic::kExitCaption, 194);
    connect(Button_Exit, &QPushButton::clicked, this, &TForm_MessageThreadEnd::Button_ExitClick);
    Button_Start = MakeButton(this, "Button_Start", EndDialogLogic::kStartCaptionAtCreation, 372);
    connect(Button_Start, &QPushButton::clicked, this, &TForm_MessageThreadEnd::Button_StartClick);
}

void TForm_MessageThreadEnd::ShowResult(bool terminated, int code, const std::string& text) {
    logic_.ShowResult(terminated, code, text);
    const EndTexts& texts = logic_.Texts();
    setWindowTitle(ToQString(texts.Caption));
    Label_Status->setText(ToQString(texts.Status));
    Label_Status->setAlignment(logic_.StatusLayout() == EndDialogLogic::StatusPlacement::TopLeft
                                   ? (Qt::AlignLeft | Qt::AlignTop)
                                   : Qt::Alignment(Qt::AlignCenter));
    SetTextColor(Label_Status, ToQColor(logic_.StatusColor()));
    SetAutoSizeText(Label_ErrorText, ToQString(texts.ErrorText));
    Label_Message_Start->setText(ToQString(texts.Message));
    Button_Start->setText(ToQString(texts.StartCaption));
    StretchOverBox(Label_Status, GroupBox_Message);
    StretchOverBox(Label_Message_Start, GroupBox_Start);
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

void TForm_MessageThreadEnd::Leave(EndDialogLogic::Exit exit) {
    if (const std::optional<int> result = EndDialogLogic::ResultOf(exit)) {
        done(*result);
    }
}

}  // namespace veltrin
