#pragma once

#include <QWidget>
#include <memory>
#include <string>

#include "data/clquorvanvariants.h"
#include "engine/threadowner.h"
#include "history/historyrecorder.h"
#include "ui/mainwindowservices.h"
#include "ui/qtdispatcher.h"
#include "ui/tsmainparams.h"

class QFrame;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace veltrin {

class ClTread;
class TForm_MessageThread;
class TForm_MessageThreadEnd;

// The program's main window: it owns the update data, the variant table and the worker of the
// current run, starts runs (at start-up without a click when data is at hand), lets the user
// cancel one, and carries out the end dialog's choice. Every member runs on the UI thread; the
// worker reaches the window only through the owner handlers, which the dispatcher runs here
// while the worker waits.
class TForm_Main : public QWidget, public UpdateThreadOwner {
    Q_OBJECT

public:
    // Downloads the update data and, when a firmware version is usable, starts the first run.
    explicit TForm_Main(MainWindowServices services, QWidget* parent = nullptr);
    ~TForm_Main() override;

    // The two dialogs are created after the window; the handlers that show them run only once
    // the event loop runs, when both are attached.
    void AttachDialogs(TForm_MessageThreadEnd* endDialog, TForm_MessageThread* questionDialog);

    const TSMainParams& Params() const { return MainParams; }

    void DownloadUpdateData();
    void RefreshView();
    void StartUpdate();
    void StopUpdate();

    void Timer_DownloadIntelHexTimer();
    void Timer_NextActionTimer();
    void Button_StartStopClick();

    // UpdateThreadOwner
    void ThreadFetchParams(TSThreadParams& params) override;
    void ThreadSetTotalMax(TSThreadParams& params) override;
    void ThreadSetTotalPosition(TSThreadParams& params) override;
    void ThreadStepTotal(TSThreadParams& params) override;
    void ThreadSetActionMax(TSThreadParams& params) override;
    void ThreadSetActionPosition(TSThreadParams& params) override;
    void ThreadShowTitle(TSThreadParams& params) override;
    void ThreadShowAction(TSThreadParams& params) override;
    void ThreadAskYesNo(TSThreadParams& params) override;
    void ThreadReportEnd(TSThreadParams& params, bool terminated) override;
    void ThreadLookupVariant(TSThreadParams& params) override;
    void ThreadReportDevice(TSThreadParams& params) override;
    void UpdateThreadEnded() override;

protected:
    // FormClose: refused while a run is active.
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildForm();
    void ShowMessageView(bool message);
    QLabel* VersionLabel(FirmwareFamily family) const;
    void FinishRunBeforeDestruction();
    // Appends the run's history record; a failure only leaves a warning on stderr.
    void RecordRunInHistory(const TSThreadParams& params, bool terminated);

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

    MainWindowServices services_;
    UpdateHistoryRecorder history_;  // after services_: made from its HistoryFile
    QtDispatcher dispatcher_;
    ClQuorvanVariants variants_;
    TSMainParams MainParams;
    ClTread* worker_ = nullptr;  // valid while MainParams.ThreadRunning; the engine frees it
    TForm_MessageThreadEnd* endDialog_ = nullptr;
    TForm_MessageThread* questionDialog_ = nullptr;
    bool closing_ = false;  // the window goes away: handlers no longer ask the user
};

}  // namespace veltrin
