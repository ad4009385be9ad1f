#include "win32ui/mainwindow.h"

#include <commctrl.h>

#include "win32ui/controlids.h"
#include "win32ui/mainwindowlayout.h"

namespace veltrin::win32ui {
using namespace mainlayout;

MainWindow::MainWindow(MainWindowServices services)
    : logic_(*this, dispatcher_, std::move(services)) {
    // A fixed single border with only a close box.
    if (!Create(kMainWindowClass, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                WS_EX_CONTROLPARENT | WS_EX_APPWINDOW, nullptr)) {
        return;
    }
    dispatcher_.Attach(Handle());
    layout_ = std::make_unique<ScaledLayout>(Handle());
    labels_ = std::make_unique<LabelPainter>(*layout_);
    BuildForm();
    layout_->SizeClient(kClientWidth, kClientHeight);
    Centre();
    // The dialogs exist before the logic may start a worker, whose first questions are served
    // only once a message loop runs.
    questionDialog_ = std::make_unique<QuestionDialog>(Handle());
    endDialog_ = std::make_unique<EndDialog>(Handle());
    logic_.Open();
}

MainWindow::~MainWindow() {
    if (Handle() != nullptr && !closedDown_) {
        logic_.CloseDown([] {
            MSG message;
            if (GetMessageW(&message, nullptr, 0, 0) > 0) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        });
    }
    endDialog_.reset();
    questionDialog_.reset();
    Destroy();
}

void MainWindow::BuildForm() {
    Button_StartStop = layout_->AddControl(L"BUTTON", L"", BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE,
                                           kButtonStartStop, 150, 257, 100, 25);
    layout_->SetFont(Button_StartStop, 13);

    GroupBox_Firmware =
        layout_->AddControl(L"BUTTON", L"", BS_GROUPBOX | WS_VISIBLE, kGroupBoxFirmware, kBoxX,
                            kFirmwareY, kBoxWidth, kFirmwareHeight);
    layout_->SetFont(GroupBox_Firmware, 13);
    Label_Firmware_QuorvanOtg_Name = labels_->Add(kLabelQuorvanOtgName, 0, 0, 0, 0, 13);
    Label_Firmware_TarnovelleK7_Name = labels_->Add(kLabelTarnovelleK7Name, 0, 0, 0, 0, 13);
    Label_Firmware_QuorvanOtg_Version = labels_->Add(kLabelQuorvanOtgVersion, 0, 0, 0, 0, 13);
    Label_Firmware_TarnovelleK7_Version = labels_->Add(kLabelTarnovelleK7Version, 0, 0, 0, 0, 13);

    GroupBox_ThreadAction = layout_->AddControl(L"BUTTON", L"", BS_GROUPBOX, kGroupBoxThreadAction,
                                                kBoxX, kViewY, kBoxWidth, kViewHeight);
    layout_->SetFont(GroupBox_ThreadAction, 13);
    ProgressBar_Total = layout_->AddControl(PROGRESS_CLASSW, L"", 0, kProgressBarTotal, kBoxX + 16,
                                            kViewY + 22, 320, 24);
    Label_Action = labels_->Add(kLabelAction, 0, 0, 0, 0, 13);
    ShowWindow(Label_Action, SW_HIDE);
    ProgressBar_Action = layout_->AddControl(PROGRESS_CLASSW, L"", 0, kProgressBarAction,
                                             kBoxX + 16, kViewY + 78, 320, 24);

    // The message view takes the progress view's place; one of the two is visible at a time.
    GroupBox_Message = layout_->AddControl(L"BUTTON", L"", BS_GROUPBOX | WS_VISIBLE,
                                           kGroupBoxMessage, kBoxX, kViewY, kBoxWidth, kViewHeight);
    layout_->SetFont(GroupBox_Message, 13);
    Label_Message = labels_->Add(kLabelMessage, kBoxX + kMessageLeft, kViewY + kMessageTop,
                                 kBoxWidth - 2 * kMessageLeft, kViewHeight - 2 * kMessageTop, 16);
    labels_->SetLook(Label_Message, {CLR_INVALID, true, true, true});

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
    if (Win32Dispatcher::HandleMessage(message, lParam)) {
        return 0;
    }
    switch (message) {
        case WM_COMMAND:
            OnCommand(wParam);
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

void MainWindow::OnCommand(WPARAM wParam) {
    if (LOWORD(wParam) == kButtonStartStop && HIWORD(wParam) == BN_CLICKED) {
        logic_.Button_StartStopClick();
    }
}

void MainWindow::OnTimer(WPARAM timerId) {
    if (timerId == kTimerDownloadIntelHex) {
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
    logic_.CloseDown([] {});
    closedDown_ = true;
    Destroy();
}

void MainWindow::OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(Handle(), &paint);
    // Panel1: a raised panel that holds the three group boxes.
    RECT panel{layout_->Scale(kPanel.left), layout_->Scale(kPanel.top),
               layout_->Scale(kPanel.right), layout_->Scale(kPanel.bottom)};
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
        HWND active = GetActiveWindow();
        if (active == nullptr || !IsDialogMessageW(active, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

}  // namespace veltrin::win32ui
