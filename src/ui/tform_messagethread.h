#pragma once

#include <QDialog>
#include <string>

class QGroupBox;
class QLabel;
class QPushButton;

namespace veltrin {

// The worker's yes/no question. One instance lives for the whole program and is reused for
// every question; Yes is the modal result Accepted, No and the close box are Rejected.
class TForm_MessageThread : public QDialog {
    Q_OBJECT

public:
    explicit TForm_MessageThread(QWidget* parent = nullptr);

    // Shows the text trimmed; it breaks only at its own line breaks.
    void SetMessage(const std::string& text);

private:
    QGroupBox* GroupBox_Message;
    QLabel* Label_Message;
    QPushButton* Button_Yes;
    QPushButton* Button_No;
};

}  // namespace veltrin
