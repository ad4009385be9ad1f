#include "ui/tform_messagethread.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "ui/formtools.h"

namespace veltrin {
TForm_MessageThread::TForm_MessageThread(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("Form_MessageThread"));
    setWindowTitle(QString::fromLatin1(QuestionDialogLogic::kCaption));
    ApplyLayout(this, FormControl::QuestionDialog);
    setFont(TahomaFont(LayoutOf(FormControl::QuestionDialog).FontPixels));

    GroupBox_Message = new QGroupBox(this);
    GroupBox_Message->setObjectName(QStringLiteral("GroupBox_Message"));
    ApplyLayout(GroupBox_Message, FormControl::Question_GroupBox_Message);

    Label_Message =
        MakeLabel(GroupBox_Message, "Label_Message", FormControl::Question_Label_Message);

    Button_Yes = new QPushButton(QString::fromLatin1(QuestionDialogLogic::kYesCaption), this);
    Button_Yes->setObjectName(QStringLiteral("Button_Yes"));
    ApplyLayout(Button_Yes, FormControl::Question_Button_Yes);
    Button_Yes->setAutoDefault(false);
    connect(Button_Yes, &QPushButton::clicked, this,
            [this] { Leave(QuestionDialogLogic::Exit::YesButton); });

    Button_No = new QPushButton(QString::fromLatin1(QuestionDialogLogic::kNoCaption), this);
    Button_No->setObjectName(QStringLiteral("Button_No"));
    ApplyLayout(Button_No, FormControl::Question_Button_No);
    Button_No->setAutoDefault(false);
    connect(Button_No, &QPushButton::clicked, this,
            [this] { Leave(QuestionDialogLogic::Exit::NoButton); });
}

void TForm_MessageThread::SetMessage(const std::string& text) {
    logic_.SetMessage(text);
    SetLabelText(Label_Message, FormControl::Question_Label_Message, logic_.Message());
}

// The close box and Escape reach QDialog::reject, which is the No answer already.
void TForm_MessageThread::Leave(QuestionDialogLogic::Exit exit) {
    QDialog::done(QuestionDialogLogic::IsYes(exit) ? Accepted : Rejected);
}

}  // namespace veltrin
