#include "win32ui/mainwindow.h"

#include <commctrl.h>

#include "win32ui/controlids.h"
#include "win32ui/viewtext.h"

// What the window logic tells the main window to show.

namespace veltrin::win32ui {

void MainWindow::SetText(MainText control, const std::string& text) {
    HWND target = nullptr;
    switch (control) {
        case MainText::WindowCaption:
            target = Handle();
            break;
        case MainText::FirmwareBoxCaption:
            target = GroupBox_Firmware;
            break;
        case MainText::ThreadActionCaption:
            target = GroupBox_ThreadAction;
            break;
        case MainText::StartStopCaption:
            target = Button_StartStop;
            break;
        case MainText::QuorvanOtgName:
            labels_->SetText(Label_Firmware_QuorvanOtg_Name, text);
            return;
        case MainText::TarnovelleK7Name:
            labels_->SetText(Label_Firmware_TarnovelleK7_Name, text);
            return;
        case MainText::QuorvanOtgVersion:
            labels_->SetText(Label_Firmware_QuorvanOtg_Version, text);
            return;
        case MainText::TarnovelleK7Version:
            labels_->SetText(Label_Firmware_TarnovelleK7_Version, text);
            return;
        case MainText::Action:
            labels_->SetText(Label_Action, text);
            return;
        case MainText::Message:
            labels_->SetText(Label_Message, text);
            return;
    }
    SetWindowTextW(target, ViewText(text).c_str());
}

void MainWindow::PaintNow() {
    // The download blocks the message loop; only the version labels change meanwhile.
    UpdateWindow(Label_Firmware_QuorvanOtg_Version);
    UpdateWindow(Label_Firmware_TarnovelleK7_Version);
}

void MainWindow::SetStartStopEnabled(bool enabled) {
    EnableWindow(Button_StartStop, enabled ? TRUE : FALSE);
    // A disabled control keeps no focus: the frame holds it until the button can take it back.
    if (GetActiveWindow() == Handle()) {
        keys_->FocusControl();
    }
}

void MainWindow::ShowGroup(const HWND* controls, int count, bool visible) {
    for (int i = 0; i < count; ++i) {
        ShowWindow(controls[i], visible ? SW_SHOWNA : SW_HIDE);
    }
}

void MainWindow::ShowProgressView(bool progress) {
    const HWND progressView[] = {GroupBox_ThreadAction, ProgressBar_Total, Label_Action,
                                 ProgressBar_Action};
    const HWND messageView[] = {GroupBox_Message, Label_Message};
    // Hide first, so that the two never show at once.
    if (progress) {
        ShowGroup(messageView, 2, false);
        ShowGroup(progressView, 4, true);
    } else {
        ShowGroup(progressView, 4, false);
        ShowGroup(messageView, 2, true);
    }
}

void MainWindow::SetBar(MainBar bar, int maximum, int position) {
    HWND shown = bar == MainBar::Total ? ProgressBar_Total : ProgressBar_Action;
    SendMessageW(shown, PBM_SETRANGE32, 0, maximum);
    SendMessageW(shown, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    // Screen readers read a bar's value when told that it changed.
    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, shown, OBJID_CLIENT, CHILDID_SELF);
}

void MainWindow::ArmTimer(MainTimer timer, int intervalMs) {
    // SetTimer on a running timer restarts it with the new interval.
    SetTimer(Handle(),
             timer == MainTimer::DownloadIntelHex ? kTimerDownloadIntelHex : kTimerNextAction,
             static_cast<UINT>(intervalMs), nullptr);
}

void MainWindow::StopTimer(MainTimer timer) {
    KillTimer(Handle(),
              timer == MainTimer::DownloadIntelHex ? kTimerDownloadIntelHex : kTimerNextAction);
}

bool MainWindow::AskYesNo(const std::string& question, int offset) {
    return questionDialog_ != nullptr && questionDialog_->Ask(question, offset, dialogHook_);
}

int MainWindow::ShowEndDialog(bool terminated, int code, const std::string& text, int offset) {
    if (endDialog_ == nullptr) {
        return 0;
    }
    return endDialog_->Show(terminated, code, text, offset, dialogHook_);
}

void MainWindow::CloseWindow() {
    SendMessageW(Handle(), WM_CLOSE, 0, 0);
}

}  // namespace veltrin::win32ui
