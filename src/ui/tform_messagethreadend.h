#pragma once

#include <QDialog>
#include <string>

#include "windowlogic/enddialoglogic.h"
#include "windowlogic/formlayout.h"

class QGroupBox;
class QLabel;
class QPushButton;

namespace veltrin {

class HeldKeyFilter;
class WindowKeys;

// The end of every run in Qt: the result in words and the choice between the next run and
// leaving, as its logic decides them. It has no close box; its modal result is kResultStart or
// kResultExit.
class TForm_MessageThreadEnd : public QDialog {
    Q_OBJECT

public:
    static constexpr int kResultStart = EndDialogLogic::kResultStart;
    static constexpr int kResultExit = EndDialogLogic::kResultExit;

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
    void showEvent(QShowEvent* event) override;

private:
    void Leave(EndDialogLogic::Exit exit);
    QWidget* ControlOf(FormControl control) const;

    EndDialogLogic logic_;
    HeldKeyFilter* heldKeys_;
    WindowKeys* keys_;
    QGroupBox* GroupBox_Message;
    QLabel* Label_Status;
    QLabel* Label_ErrorText;
    QGroupBox* GroupBox_Start;
    QLabel* Label_Message_Start;
    QPushButton* Button_Exit;
    QPushButton* Button_Start;
};

}  // namespace veltrin
