#pragma once

#include <QWidget>
#include <string>

#include "ui/qtdispatcher.h"
#include "windowlogic/mainwindowlogic.h"
#include "windowlogic/mainwindowservices.h"
#include "windowlogic/mainwindowview.h"
#include "windowlogic/tsmainparams.h"

class QFrame;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace veltrin {

class TForm_MessageThread;
class TForm_MessageThreadEnd;

// The program's main window in Qt: it creates the controls and timers, forwards clicks, timer
// ticks and close requests to the window logic, and shows what the logic tells it. The logic
// owns the update data, the variant table and the worker of the current run; the worker's
// events reach it on this window's thread through the Qt dispatcher while the worker waits.
class TForm_Main : public QWidget, private MainWindowView {
    Q_OBJECT

public:
    // Downloads the update data and, when a firmware version is usable, starts the first run.
    explicit TForm_Main(MainWindowServices services, QWidget* parent = nullptr);
    ~TForm_Main() override;

    // The two dialogs are created after the window; the handlers that show them run only once
    // the event loop runs, when both are attached.
    void AttachDialogs(TForm_MessageThreadEnd* endDialog, TForm_MessageThread* questionDialog);

    const TSMainParams& Params() const { return logic_.Params(); }
    MainWindowLogic& Logic() { return logic_; }

    // The logic's operations under the names the window has always had.
    void DownloadUpdateData() { logic_.DownloadUpdateData(); }
    void RefreshView() { logic_.RefreshView(); }
    void StartUpdate() { logic_.StartUpdate(); }
    void StopUpdate() { logic_.StopUpdate(); }
    void Timer_DownloadIntelHexTimer() { logic_.Timer_DownloadIntelHexTimer(); }
    void Timer_NextActionTimer() { logic_.Timer_NextActionTimer(); }
    void Button_StartStopClick() { logic_.Button_StartStopClick(); }

    // The owner handlers, for a caller on the UI thread (workers reach them through the logic).
    void ThreadFetchParams(TSThreadParams& params) { logic_.ThreadFetchParams(params); }
    void ThreadSetTotalMax(TSThreadParams& params) { logic_.ThreadSetTotalMax(params); }
    void ThreadSetTotalPosition(TSThreadParams& params) { logic_.ThreadSetTotalPosition(params); }
    void ThreadStepTotal(TSThreadParams& params) { logic_.ThreadStepTotal(params); }
    void ThreadSetActionMax(TSThreadParams& params) { logic_.ThreadSetActionMax(params); }
    void ThreadSetActionPosition(TSThreadParams& params) { logic_.ThreadSetActionPosition(params); }
    void ThreadShowTitle(TSThreadParams& params) { logic_.ThreadShowTitle(params); }
    void ThreadShowAction(TSThreadParams& params) { logic_.ThreadShowAction(params); }
    void ThreadAskYesNo(TSThreadParams& params) { logic_.ThreadAskYesNo(params); }
    void ThreadReportEnd(TSThreadParams& params, bool terminated) {
        logic_.ThreadReportEnd(params, terminated);
    }
    void ThreadLookupVariant(TSThreadParams& params) { logic_.ThreadLookupVariant(params); }
    void UpdateThreadEnded() { logic_.UpdateThreadEnded(); }

protected:
    // FormClose: the logic refuses it while a run is active.
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildForm();

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

    void ComeBackFromDialog();
    QLabel* LabelOf(MainText control) const;
    QTimer* TimerOf(MainTimer timer) const;

    QPushButton* Button_StartStop;
    QFrame* Panel1;
    QGroupBox* GroupBox_Firmware;
    QLabel* Label_Firmware_QuorvanOtg_Name;
    QLabel* Label_Firmware_TarnovelleK7_Name;
    QLabel* Label_Firmware_QuorvanOtg_Version;
    QLabel* Label_Firmware_TarnovelleK7_Version;
    QGroupBox* GroupBox_ThreadAction;
    QProgressBar* ProgressBar_Total;
    QLabel* Label_Action;
    QProgressBar* ProgressBar_Action;
    QGroupBox* GroupBox_Message;
    QLabel* Label_Message;
    QTimer* Timer_DownloadIntelHex;
    QTimer* Timer_NextAction;

    QtDispatcher dispatcher_;
    MainWindowLogic logic_;
    TForm_MessageThreadEnd* endDialog_ = nullptr;
    TForm_MessageThread* questionDialog_ = nullptr;
};

}  // namespace veltrin
