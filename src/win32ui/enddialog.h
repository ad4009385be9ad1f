#pragma once

#include <memory>
#include <string>

#include "win32ui/labelpainter.h"
#include "win32ui/modalloop.h"
#include "win32ui/scaledlayout.h"
#include "win32ui/scaledwindow.h"
#include "win32ui/windowkeys.h"
#include "windowlogic/enddialoglogic.h"

namespace veltrin::win32ui {

// The end-of-update dialog (Form_MessageThreadEnd). It has no close box: a run ends in a choice
// between the next device and leaving, so Escape and Alt+F4 change nothing.
class EndDialog : public ScaledWindow {
public:
    explicit EndDialog(HWND owner);

    // Fills the dialog from one run's outcome, shows it modally and returns the choice
    // (EndDialogLogic::kResultStart or kResultExit).
    int Show(bool terminated, int code, const std::string& text, int offset,
             const DialogShownHook& hook);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void BuildForm();
    void ShowResult(bool terminated, int code, const std::string& text);
    void Leave(EndDialogLogic::Exit exit);
    HWND ControlOf(FormControl control) const;

    HWND owner_;
    HWND Label_Status = nullptr;
    HWND Label_ErrorText = nullptr;
    HWND Label_Message_Start = nullptr;
    HWND Button_Start = nullptr;
    HWND Button_Exit = nullptr;
    EndDialogLogic logic_;
    std::unique_ptr<WindowKeys> keys_;
    bool done_ = false;
    int result_ = 0;
};

}  // namespace veltrin::win32ui
