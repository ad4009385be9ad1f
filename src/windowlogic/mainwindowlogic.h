#pragma once

#include <functional>
#include <string>

#include "data/clquorvanvariants.h"
#include "data/firmwarelayout.h"
#include "engine/threadowner.h"
#include "history/historyrecorder.h"
#include "windowlogic/mainwindowservices.h"
#include "windowlogic/mainwindowview.h"
#include "windowlogic/progressbarstate.h"
#include "windowlogic/tsmainparams.h"

namespace veltrin {

class ClTread;

// Everything the program's main window decides, free of any toolkit: when update data is
// fetched, when a run starts (at start-up without a click when data is at hand), how a run is
// cancelled, what the window shows in each state, what follows the end dialog, and the owner's
// side of every worker event. A view (Qt on Linux, Win32 on Windows) creates the controls,
// forwards clicks and timer ticks here and shows what it is told through MainWindowView.
// Everything runs on the UI thread; the worker reaches the logic only through the dispatcher,
// which runs the handlers here while the worker waits, so nothing needs a lock.
class MainWindowLogic : public UpdateThreadOwner {
public:
    static constexpr int kNextActionMs = 100;

    // view and dispatcher outlive the logic; the dispatcher runs functions on this thread.
    MainWindowLogic(MainWindowView& view, Dispatcher& dispatcher, MainWindowServices services);

    // The window's creation, once its controls exist: the initial texts and view, the download
    // of the update data, and then either the first run or the download's retry timer.
    void Open();

    const TSMainParams& Params() const { return params_; }
    bool StartStopEnabled() const { return startStopEnabled_; }
    const ProgressBarState& Bar(MainBar bar) const;

    void DownloadUpdateData();
    void RefreshView();
    void StartUpdate();
    void StopUpdate();

    // The view's events.
    void Timer_DownloadIntelHexTimer();
    void Timer_NextActionTimer();
    void Button_StartStopClick();
    // A request to close the window: refused (false) while a run is active, silently; the user
    // has to cancel the run first. Otherwise both timers stop and the window may go.
    bool FormClose();
    // The window goes away whatever its state (program end, a test's teardown). A run still
    // active is stopped, and its remaining events are served without asking the user anything
    // until it has ended: waitForEvents must run the UI thread's pending events (and wait for
    // more), as the view's event loop would. Then the ended workers' threads are joined.
    void CloseDown(const std::function<void()>& waitForEvents);

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

private:
    void ScheduleDownloadRetry();
    void ArmNextActionUnlessClosing();
    // The timers as the logic knows them: a tick already queued when its timer was stopped
    // (a toolkit may deliver one) must do nothing, or it would download in the middle of a run.
    void ArmTimer(MainTimer timer, int intervalMs);
    void StopTimer(MainTimer timer);
    bool TimerOn(MainTimer timer) const;
    ClTread* StartWorkerOrNull();
    void SetStartStop(const std::string& caption, bool enabled);
    void SetStartStopEnabled(bool enabled);
    void ShowProgressView(bool progress);
    void ShowBar(MainBar bar);
    ProgressBarState& BarState(MainBar bar);
    static MainText VersionText(FirmwareFamily family);
    // Appends the run's history record; a failure only leaves a warning on stderr.
    void RecordRunInHistory(const TSThreadParams& params, bool terminated);

    MainWindowView& view_;
    Dispatcher& dispatcher_;
    MainWindowServices services_;
    UpdateHistoryRecorder history_;  // after services_: made from its HistoryFile
    ClQuorvanVariants variants_;
    TSMainParams params_;
    ClTread* worker_ = nullptr;  // valid while params_.ThreadRunning; the engine frees it
    bool startStopEnabled_ = false;
    ProgressBarState total_;
    ProgressBarState action_;
    bool closing_ = false;              // the window goes away: handlers no longer ask the user
    bool timerOn_[2] = {false, false};  // by MainTimer
};

}  // namespace veltrin
