#include "win32ui/mainwindow.h"

#include <commctrl.h>

#include "transport/runinhibitor_win32.h"
#include "win32ui/controlids.h"
#include "win32ui/exceptiondisplay.h"
#include "win32ui/messageorigin.h"
#include "win32ui/viewtext.h"

namespace veltrin::win32ui {
using C = FormControl;

MainWindow::MainWindow(MainWindowServices services)
    : logic_(*this, dispatcher_, std::move(services)) {
    // A fixed single border with only a close box.
    if (!Create(kMainWindowClass, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                WS_EX_CONTROLPARENT | WS_EX_APPWINDOW, nullptr)) {
        return;
    }
    dispatcher_.Attach(Handle());
    SetExceptionOwner(Handle());
    SetTimer(Handle(), kTimerDispatcherSweep, kDispatcherSweepMs, nullptr);
    layout_ = std::make_unique<ScaledLayout>(Handle());
    labels_ = std::make_unique<LabelPainter>(*layout_);
    BuildForm();
    keys_ = std::make_unique<WindowKeys>(Handle(), C::MainWindow, [this](FormControl control) {
        return control == C::Button_StartStop ? Button_StartStop : nullptr;
    });
    const FormRect client = PlaceInWindow(C::MainWindow);
    layout_->SizeClient(client.Width, client.Height);
    Centre();
    // The dialogs exist before the logic may start a worker, whose first questions are served
    // only once a message loop runs. The end dialog first, then the question: the same order
    // as the Qt view, so that both start up alike.
    endDialog_ = std::make_unique<EndDialog>(Handle());
    questionDialog_ = std::make_unique<QuestionDialog>(Handle());
    logic_.Open();
}

MainWindow::~MainWindow() {
    if (!closedDown_) {
        logic_.CloseDown([this] { ServeWorkerEvents(); });
    }
    endDialog_.reset();
    questionDialog_.reset();
    SetExceptionOwner(nullptr);
    Destroy();
}

void MainWindow::BuildForm() {
    Button_StartStop =
        AddFormControl(*layout_, L"BUTTON", L"", BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE,
                       kButtonStartStop, C::Button_StartStop);

    GroupBox_Firmware = AddFormControl(*layout_, L"BUTTON", L"", BS_GROUPBOX | WS_VISIBLE,
                                       kGroupBoxFirmware, C::GroupBox_Firmware);
    Label_Firmware_QuorvanOtg_Name =
        labels_->Add(kLabelQuorvanOtgName, C::Label_Firmware_QuorvanOtg_Name);
    Label_Firmware_TarnovelleK7_Name =
        labels_->Add(kLabelTarnovelleK7Name, C::Label_Firmware_TarnovelleK7_Name);
    Label_Firmware_QuorvanOtg_Version =
        labels_->Add(kLabelQuorvanOtgVersion, C::Label_Firmware_QuorvanOtg_Version);
    Label_Firmware_TarnovelleK7_Version =
        labels_->Add(kLabelTarnovelleK7Version, C::Label_Firmware_TarnovelleK7_Version);

    GroupBox_ThreadAction = AddFormControl(*layout_, L"BUTTON", L"", BS_GROUPBOX,
                                           kGroupBoxThreadAction, C::GroupBox_ThreadAction);
    ProgressBar_Total =
        AddFormControl(*layout_, PROGRESS_CLASSW, L"", 0, kProgressBarTotal, C::ProgressBar_Total);
    Label_Action = labels_->Add(kLabelAction, C::Label_Action);
    ShowWindow(Label_Action, SW_HIDE);
    ProgressBar_Action = AddFormControl(*layout_, PROGRESS_CLASSW, L"", 0, kProgressBarAction,
                                        C::ProgressBar_Action);

    // The message view takes the progress view's place; one of the two is visible at a time.
    GroupBox_Message = AddFormControl(*layout_, L"BUTTON", L"", BS_GROUPBOX | WS_VISIBLE,
                                      kGroupBoxMessage, C::GroupBox_Message);
    Label_Message = labels_->Add(kLabelMessage, C::Label_Message);

    for (HWND box : {GroupBox_Firmware, GroupBox_ThreadAction, GroupBox_Message}) {
        SetWindowPos(box, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void MainWindow::Centre() {
    RECT window;
    GetWindowRect(Handle(), &window);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(Handle(), MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& area = monitor.rcWork;
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    SetWindowPos(Handle(), nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::Show(int showCommand) {
    ShowWindow(Handle(), showCommand);
    UpdateWindow(Handle());
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (dispatcher_.HandleMessage(message)) {
        return 0;
    }
    LRESULT sessionResult = 0;
    // A session that ends anyway: the run stops through its record before the process goes.
    if (HandleSessionEndMessage(Handle(), message, wParam, sessionResult, [this] {
            logic_.CloseDown([this] { ServeWorkerEvents(); });
            closedDown_ = true;
        })) {
        return sessionResult;
    }
    if (LRESULT focused = 0; keys_ && keys_->HandleFocusMessage(message, wParam, focused)) {
        return focused;
    }
    switch (message) {
        case WM_COMMAND:
            OnCommand(wParam, lParam);
            return 0;
        case WM_TIMER:
            OnTimer(wParam);
            return 0;
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_DESTROY:
            // Only a window the user (or the end dialog's choice) closed ends the program; one
            // destroyed by its owner leaves the owner's message loop alone.
            if (closedDown_) {
                PostQuitMessage(0);
            }
            return 0;
        case WM_PAINT:
            OnPaint();
            return 0;
        default:
            break;
    }
    return ScaledWindow::HandleMessage(message, wParam, lParam);
}

void MainWindow::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (IsClickOf(Button_StartStop, wParam, lParam)) {
        logic_.Button_StartStopClick();
    }
}

void MainWindow::OnTimer(WPARAM timerId) {
    if (timerId == kTimerDispatcherSweep) {
        dispatcher_.Drain();
    } else if (timerId == kTimerDownloadIntelHex) {
        logic_.Timer_DownloadIntelHexTimer();
    } else if (timerId == kTimerNextAction) {
        logic_.Timer_NextActionTimer();
    }
}

void MainWindow::OnClose() {
    // Refused silently while a run is active: the user cancels it first.
    if (!logic_.FormClose()) {
        return;
    }
    logic_.CloseDown([this] { ServeWorkerEvents(); });
    closedDown_ = true;
    Destroy();
}

void MainWindow::ServeWorkerEvents() {
    // Straight from the dispatcher's queue, not through window messages: a run that ends while
    // the window goes away is served even when no wake-up reaches the window any more.
    // It may run from the destructor: an exception is shown here, and the run goes on ending.
    try {
        dispatcher_.WaitAndDrain(kDispatcherSweepMs);
    } catch (...) {
        ShowException(CurrentExceptionText());
    }
}

void MainWindow::OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(Handle(), &paint);
    // Panel1: a raised panel that holds the three group boxes.
    const FormRect place = PlaceInWindow(C::Panel1);
    RECT panel{layout_->Scale(place.Left), layout_->Scale(place.Top),
               layout_->Scale(place.Left + place.Width), layout_->Scale(place.Top + place.Height)};
    DrawEdge(dc, &panel, BDR_RAISEDINNER, BF_RECT);
    EndPaint(Handle(), &paint);
}

int RunMessageLoop() {
    MSG message;
    BOOL got;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0) {
        if (got < 0) {
            return 1;
        }
        // Outside a dialog's own loop only the main window takes keys.
        if (IsForgedPost(message) || KeyAnswersNothing(C::MainWindow, message)) {
            continue;
        }
        HWND active = GetActiveWindow();
        if (active == nullptr || !IsDialogMessageW(active, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

}  // namespace veltrin::win32ui
