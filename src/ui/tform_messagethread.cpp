#include "ui/tform_messagethread.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "ui/dialogdescription.h"
#include "ui/formtools.h"
#include "ui/heldkeyfilter.h"

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

void TForm_MessageThread::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QDialog::keyPressEvent(event);
        return;
    }
    std::optional<QuestionDialogLogic::Exit> focused;
    if (focusWidget() == Button_Yes) {
        focused = QuestionDialogLogic::Exit::YesButton;
    } else if (focusWidget() == Button_No) {
        focused = QuestionDialogLogic::Exit::NoButton;
    }
    Leave(QuestionDialogLogic::EnterPresses(focused));
}

void TForm_MessageThread::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    heldKeys_->Reset();
    // As from the keyboard, so that the focused button shows its focus from the start; the
    // attribute holds also when the window is activated only after this.
    setAttribute(Qt::WA_KeyboardFocusChange);
    ButtonOf(QuestionDialogLogic::kFocusAtOpen)->setFocus(Qt::TabFocusReason);
}

QPushButton* TForm_MessageThread::ButtonOf(QuestionDialogLogic::Exit exit) const {
    return exit == QuestionDialogLogic::Exit::YesButton ? Button_Yes : Button_No;
}

void TForm_MessageThread::Leave(QuestionDialogLogic::Exit exit) {
    QDialog::done(QuestionDialogLogic::IsYes(exit) ? Accepted : Rejected);
}

}  // namespace veltrin
