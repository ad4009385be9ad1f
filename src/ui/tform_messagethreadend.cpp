#include "ui/tform_messagethreadend.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "report/endtexts.h"
#include "ui/formtools.h"

namespace veltrin {
namespace {

// Client area under a standard dialog frame of 550 x 270.
constexpr int kClientWidth = 544;
constexpr int kClientHeight = 241;

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 128, 0);

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
    SetTextColor(Label_ErrorText, kRed);

    GroupBox_Start = new QGroupBox(this);
    GroupBox_Start->setObjectName(QStringLiteral("GroupBox_Start"));
    GroupBox_Start->setGeometry(8, 65, 528, 134);

    Label_Message_Start = MakePlainLabel(GroupBox_Start, "Label_Message_Start", 12, 12);
    Label_Message_Start->setFont(TahomaFont(16));
    Label_Message_Start->setAlignment(Qt::AlignCenter);
    Label_Message_Start->setWordWrap(true);

    Button_Exit = MakeButton(this, "Button_Exit", "Exit Program", 194);
    connect(Button_Exit, &QPushButton::clicked, this, &TForm_MessageThreadEnd::Button_ExitClick);
    Button_Start = MakeButton(this, "Button_Start", "Update next device", 372);
    connect(Button_Start, &QPushButton::clicked, this, &TForm_MessageThreadEnd::Button_StartClick);
}

void TForm_MessageThreadEnd::ShowResult(bool terminated, int code, const std::string& text) {
    const EndTexts texts = ResultTexts(terminated, code, text);
    setWindowTitle(ToQString(texts.Caption));
    Label_Status->setText(ToQString(texts.Status));
    if (texts.look == EndTexts::Look::Error) {
        // The error line lies over the status label's lower part, so the status keeps to the top.
        Label_Status->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    } else {
        Label_Status->setAlignment(Qt::AlignCenter);
    }
    SetTextColor(Label_Status, texts.look == EndTexts::Look::Success ? kGreen : kRed);
    SetAutoSizeText(Label_ErrorText, ToQString(texts.ErrorText));
    Label_Message_Start->setText(ToQString(texts.Message));
    Button_Start->setText(ToQString(texts.StartCaption));
    StretchOverBox(Label_Status, GroupBox_Message);
    StretchOverBox(Label_Message_Start, GroupBox_Start);
}

void TForm_MessageThreadEnd::Button_StartClick() {
    done(kResultStart);
}

void TForm_MessageThreadEnd::Button_ExitClick() {
    done(kResultExit);
}

void TForm_MessageThreadEnd::reject() {}

void TForm_MessageThreadEnd::closeEvent(QCloseEvent* event) {
    event->ignore();
}

}  // namespace veltrin
