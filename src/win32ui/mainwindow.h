#pragma once

#include <memory>
#include <string>

#include "win32ui/enddialog.h"
#include "win32ui/labelpainter.h"
#include "win32ui/modalloop.h"
#include "win32ui/questiondialog.h"
#include "win32ui/scaledlayout.h"
#include "win32ui/scaledwindow.h"
#include "win32ui/win32dispatcher.h"
#include "win32ui/windowkeys.h"
#include "windowlogic/mainwindowlogic.h"
#include "windowlogic/mainwindowservices.h"
#include "windowlogic/mainwindowview.h"

namespace veltrin::win32ui {

// The program's main window in Win32 (Form_Main): it creates the controls and timers, forwards
// clicks, timer ticks and close requests to the window logic, and shows what the logic tells
// it. The worker's events arrive as private messages through the dispatcher.
class MainWindow : public ScaledWindow, private MainWindowView {
public:
    // How often the window looks into the dispatcher's queue without a wake-up.
    static constexpr UINT kDispatcherSweepMs = 250;

    // Creates the window and both dialogs (hidden), downloads the update data and, when a
    // firmware version is usable, starts the first run. The window is shown by Show.
    explicit MainWindow(MainWindowServices services);
    ~MainWindow() override;

    void Show(int showCommand);
    MainWindowLogic& Logic() { return logic_; }
    HWND QuestionDialogHandle() const { return questionDialog_->Handle(); }
    HWND EndDialogHandle() const { return endDialog_->Handle(); }
    // A test's seam: called once each modal dialog is on screen.
    void SetDialogShownHook(DialogShownHook hook) { dialogHook_ = std::move(hook); }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void BuildForm();
    void OnCommand(WPARAM wParam, LPARAM lParam);
    void OnTimer(WPARAM timerId);
    void OnClose();
    // Runs the worker's queued events, waiting a little for the next; what closing down the
    // logic repeats until the run has ended.
    void ServeWorkerEvents();
    void OnPaint();
    void Centre();

    // MainWindowView
    void SetText(MainText control, const std::string& text) override;
    void PaintNow() override;
    void SetStartStopEnabled(bool enabled) override;
    void ShowProgressView(bool progress) override;
    void SetBar(MainBar bar, int maximum, int position) override;
    void ArmTimer(MainTimer timer, int intervalMs) override;
    void StopTimer(MainTimer timer) override;
    bool AskYesNo(const std::string& question, int offset) override;
    int ShowEndDialog(bool terminated, int code, const std::string& text, int offset) override;
    void CloseWindow() override;

    void ShowGroup(const HWND* controls, int count, bool visible);

    Win32Dispatcher dispatcher_;
    MainWindowLogic logic_;
    std::unique_ptr<QuestionDialog> questionDialog_;
    std::unique_ptr<EndDialog> endDialog_;
    DialogShownHook dialogHook_;
    bool closedDown_ = false;
    std::unique_ptr<WindowKeys> keys_;

    HWND Button_StartStop = nullptr;
    HWND GroupBox_Firmware = nullptr;
    HWND Label_Firmware_QuorvanOtg_Name = nullptr;
    HWND Label_Firmware_TarnovelleK7_Name = nullptr;
    HWND Label_Firmware_QuorvanOtg_Version = nullptr;
    HWND Label_Firmware_TarnovelleK7_Version = nullptr;
    HWND GroupBox_ThreadAction = nullptr;
    HWND ProgressBar_Total = nullptr;
    HWND Label_Action = nullptr;
    HWND ProgressBar_Action = nullptr;
    HWND GroupBox_Message = nullptr;
    HWND Label_Message = nullptr;
};

// Runs the UI thread's message loop until WM_QUIT; returns its exit code.
int RunMessageLoop();

}  // namespace veltrin::win32ui
