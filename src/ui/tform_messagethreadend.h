#pragma once

#include <QDialog>
#include <string>

class QGroupBox;
class QLabel;
class QPushButton;

namespace veltrin {

// The end of every run: the result in words and the choice between the next run and leaving.
// It has no close box; its modal result is kResultStart or kResultExit.
class TForm_MessageThreadEnd : public QDialog {
    Q_OBJECT

public:
    static constexpr int kResultStart = 1;
    static constexpr int kResultExit = 2;

    explicit TForm_MessageThreadEnd(QWidget* parent = nullptr);

    // terminated: the run was cancelled (Cancel or a No answer); code: the worker's result
    // code; text: the worker's end text naming the installed firmware after a success.
    void ShowResult(bool terminated, int code, const std::string& text);

    void Button_StartClick();
    void Button_ExitClick();

protected:
    // Escape and the window manager's close request would leave the dialog without a choice.
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    QGroupBox* GroupBox_Message;
    QLabel* Label_Status;
    QLabel* Label_ErrorText;
    QGroupBox* GroupBox_Start;
    QLabel* Label_Message_Start;
    QPushButton* Button_Exit;
    QPushButton* Button_Start;
};

}  // namespace veltrin
