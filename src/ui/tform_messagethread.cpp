#include "ui/tform_messagethread.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "ui/formtools.h"

namespace veltrin {
namespace {

// Client area under a standard dialog frame of 450 x 180.
constexpr int kClientWidth = 444;
constexpr int kClientHeight = 151;

}  // namespace

TForm_MessageThread::TForm_MessageThread(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("Form_MessageThread"));
    setWindowTitle(QString::fromLatin1(QuestionDialogLogic::kCaption));
    setFont(TahomaFont(11));
    setFixedSize(kClientWidth, kClientHeight);

    GroupBox_Message = new QGroupBox(this);
    GroupBox_Message->setObjectName(QStringLiteral("GroupBox_Message"));
    GroupBox_Message->setGeometry(8, 8, 428, 102);

    Label_Message = MakePlainLabel(GroupBox_Message, "Label_Message", 12, 12);
    Label_Message->setFont(TahomaFont(16));
    Label_Message->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label_Message->setWordWrap(false);

    Button_Yes = new QPushButton(QString::fromLatin1(QuestionDialogLogic::kYesCaption), this);
    Button_Yes->setObjectName(QStringLiteral("Button_Yes"));
    Button_Yes->setGeometry(239, 118, 75, 25);
    Button_Yes->setFont(TahomaFont(13));
    Button_Yes->setAutoDefault(false);
    connect(Button_Yes, &QPushButton::clicked, this,
            [this] { Leave(QuestionDialogLogic::Exit::YesButton); });

    Button_No = new QPushButton(QString::fromLatin1(QuestionDialogLogic::kNoCaption), this);
    Button_No->setObjectName(QStringLiteral("Button_No"));
    Button_No->setGeometry(343, 118, 75, 25);
    Button_No->setFont(TahomaFont(13));
    Button_No->setAutoDefault(false);
    connect(Button_No, &QPushButton::clicked, this,
            [this] { Leave(QuestionDialogLogic::Exit::NoButton); });
}

void TForm_MessageThread::SetMessage(const std::string& text) {
    logic_.SetMessage(text);
    Label_Message->setText(ToQString(logic_.Message()));
    StretchOverBox(Label_Message, GroupBox_Message);
}

// The close box and Escape reach QDialog::reject, which is the No answer already.
void TForm_MessageThread::Leave(QuestionDialogLogic::Exit exit) {
    QDialog::done(QuestionDialogLogic::IsYes(exit) ? Accepted : Rejected);
}

}  // namespace veltrin
