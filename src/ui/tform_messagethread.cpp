#include "ui/tform_messagethread.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "ui/dialogdescription.h"
#include "ui/formtools.h"
#include "ui/heldkeyfilter.h"
#include "ui/windowkeys.h"

namespace veltrin {

TForm_MessageThread::TForm_MessageThread(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("Form_MessageThread"));
    setWindowTitle(QString::fromLatin1(QuestionDialogLogic::kCaption));
    ApplyLayout(this, FormControl::QuestionDialog);
    setFont(TahomaFont(LayoutOf(FormControl::QuestionDialog).FontPixels));

    heldKeys_ = new HeldKeyFilter(this);
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
    keys_ = new WindowKeys(
        this, FormControl::QuestionDialog, [this](FormControl c) { return ControlOf(c); },
        [this] { Leave(QuestionDialogLogic::Exit::Escape); });
}

void TForm_MessageThread::SetMessage(const std::string& text) {
    logic_.SetMessage(text);
    SetLabelText(Label_Message, FormControl::Question_Label_Message, logic_.Message());
    DescribeByLabels(this);
}

void TForm_MessageThread::reject() {
    Leave(QuestionDialogLogic::Exit::Escape);
}

void TForm_MessageThread::closeEvent(QCloseEvent* event) {
    event->ignore();
    Leave(QuestionDialogLogic::Exit::CloseBox);
}

void TForm_MessageThread::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    heldKeys_->Reset();
    keys_->FocusFirst();
}

QWidget* TForm_MessageThread::ControlOf(FormControl control) const {
    switch (control) {
        case FormControl::Question_Button_Yes:
            return Button_Yes;
        case FormControl::Question_Button_No:
            return Button_No;
        default:
            return nullptr;
    }
}

void TForm_MessageThread::Leave(QuestionDialogLogic::Exit exit) {
    QDialog::done(QuestionDialogLogic::IsYes(exit) ? Accepted : Rejected);
}

}  // namespace veltrin
