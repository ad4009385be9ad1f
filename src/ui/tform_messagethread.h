#pragma once

#include <QDialog>
#include <string>

#include "windowlogic/formlayout.h"
#include "windowlogic/questiondialoglogic.h"

class QGroupBox;
class QLabel;
class QPushButton;

namespace veltrin {

class HeldKeyFilter;
class WindowKeys;

// The worker's yes/no question in Qt, showing what its logic decides. One instance lives for the
// whole program and is reused for every question; Yes is the modal result Accepted, No, the
// close box and Escape are Rejected.
class TForm_MessageThread : public QDialog {
    Q_OBJECT

public:
    explicit TForm_MessageThread(QWidget* parent = nullptr);

    // Shows the text trimmed; it breaks only at its own line breaks.
    void SetMessage(const std::string& text);

protected:
    // Every way out goes through the logic: Escape (reject), the close box, the buttons; the
    // keys are the keyboard table's.
    void reject() override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Leave(QuestionDialogLogic::Exit exit);
    QWidget* ControlOf(FormControl control) const;

    QuestionDialogLogic logic_;
    HeldKeyFilter* heldKeys_;
    WindowKeys* keys_;
    QGroupBox* GroupBox_Message;
    QLabel* Label_Message;
    QPushButton* Button_Yes;
    QPushButton* Button_No;
};

}  // namespace veltrin
