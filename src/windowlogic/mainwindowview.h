#pragma once

#include <string>

#include "windowlogic/formlayout.h"

namespace veltrin {

// The texts of the main window that the logic sets. A view maps each to its control.
enum class MainText {
    WindowCaption,
    FirmwareBoxCaption,   // GroupBox_Firmware
    QuorvanOtgName,       // Label_Firmware_QuorvanOtg_Name
    TarnovelleK7Name,     // Label_Firmware_TarnovelleK7_Name
    QuorvanOtgVersion,    // Label_Firmware_QuorvanOtg_Version
    TarnovelleK7Version,  // Label_Firmware_TarnovelleK7_Version
    ThreadActionCaption,  // GroupBox_ThreadAction
    Action,               // Label_Action
    Message,              // Label_Message, stretched over its group box
    StartStopCaption,     // Button_StartStop
};

// The control that shows a text.
FormControl ControlOf(MainText text);

enum class MainBar { Total, Action };

enum class MainTimer { DownloadIntelHex, NextAction };

// What a toolkit's main window does for the window logic: it owns the controls and timers and
// shows what it is told; every decision stays in the logic. All calls come on the UI thread.
// Texts are 8-bit texts in the system's code page and are shown verbatim (no markup).
class MainWindowView {
public:
    virtual ~MainWindowView() = default;

    virtual void SetText(MainText control, const std::string& text) = 0;
    // The download runs on the UI thread and blocks its event loop: paint what was set so far
    // now, or the user never sees "loading ...".
    virtual void PaintNow() = 0;
    virtual void SetStartStopEnabled(bool enabled) = 0;
    // Shows the progress view (GroupBox_ThreadAction) or the message view (GroupBox_Message);
    // exactly one of the two is visible.
    virtual void ShowProgressView(bool progress) = 0;
    // Range 0 to maximum; the logic keeps position inside it.
    virtual void SetBar(MainBar bar, int maximum, int position) = 0;
    // Starts (or restarts) a repeating timer; each expiry calls the logic's handler of it.
    virtual void ArmTimer(MainTimer timer, int intervalMs) = 0;
    virtual void StopTimer(MainTimer timer) = 0;
    // Shows the question dialog modally, its top-left corner offset pixels right of and below
    // the main window's, filled through QuestionDialogLogic::SetMessage. True only for Yes.
    virtual bool AskYesNo(const std::string& question, int offset) = 0;
    // Shows the end dialog modally, placed like the question and filled through
    // EndDialogLogic::ShowResult; returns its choice (EndDialogLogic::kResultStart/Exit).
    virtual int ShowEndDialog(bool terminated, int code, const std::string& text, int offset) = 0;
    // Closes the main window as a user would; the view asks the logic's FormClose first.
    virtual void CloseWindow() = 0;
};

}  // namespace veltrin
