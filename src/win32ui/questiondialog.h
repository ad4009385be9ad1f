#pragma once

#include <memory>
#include <string>

#include "win32ui/labelpainter.h"
#include "win32ui/modalloop.h"
#include "win32ui/scaledlayout.h"
#include "win32ui/scaledwindow.h"
#include "win32ui/windowkeys.h"
#include "windowlogic/questiondialoglogic.h"

namespace veltrin::win32ui {

// The worker's yes/no question (Form_MessageThread). Created hidden at start-up and reused;
// only Yes is a Yes, the close box and Escape are No.
class QuestionDialog : public ScaledWindow {
public:
    explicit QuestionDialog(HWND owner);

    // Shows the question modally, offset pixels right of and below the owner's corner.
    bool Ask(const std::string& question, int offset, const DialogShownHook& hook);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void BuildForm();
    void Leave(QuestionDialogLogic::Exit exit);
    HWND ControlOf(FormControl control) const;

    HWND owner_;
    HWND Label_Message = nullptr;
    HWND Button_Yes = nullptr;
    HWND Button_No = nullptr;
    QuestionDialogLogic logic_;
    std::unique_ptr<WindowKeys> keys_;
    bool done_ = false;
    bool yes_ = false;
};

}  // namespace veltrin::win32ui
