#include "windowlogic/mainwindowlogic.h"

#include <cstdio>
#include <exception>
#include <utility>

#include "common/texttrim.h"
#include "engine/clthread.h"
#include "report/endtexts.h"
#include "windowlogic/downloadretry.h"

namespace veltrin {
namespace {

constexpr char kProgramVersion[] = "00.01.00";
constexpr char kStartCaption[] = "Start Update";
constexpr char kCancelCaption[] = "Cancel";
constexpr char kNotAvailable[] = "not available";

std::string VersionOrNotAvailable(const std::string& version) {
    const std::string trimmed = TrimText(version);
    return trimmed.empty() ? std::string(kNotAvailable) : trimmed;
}

}  // namespace

MainWindowLogic::MainWindowLogic(MainWindowView& view, Dispatcher& dispatcher,
                                 MainWindowServices services)
    : view_(view),
      dispatcher_(dispatcher),
      services_(std::move(services)),
      history_("veltrin", services_.HistoryFile) {}

void MainWindowLogic::Open() {
    variants_.Clear();
    view_.SetText(MainText::WindowCaption,
                  std::string("Update Quorvan / Tarnovelle - Version ") + kProgramVersion);
    view_.SetText(MainText::StartStopCaption, kStartCaption);
    view_.SetText(MainText::FirmwareBoxCaption, "Latest update version");
    view_.SetText(MainText::QuorvanOtgName, kFamilyLabelQuorvanOtg);
    view_.SetText(MainText::TarnovelleK7Name, kFamilyLabelTarnovelleK7);
    view_.SetText(MainText::QuorvanOtgVersion, kNotAvailable);
    view_.SetText(MainText::TarnovelleK7Version, kNotAvailable);
    ShowBar(MainBar::Total);
    ShowBar(MainBar::Action);
    // Both views share one place; exactly one of them is visible at any time.
    ShowProgressView(false);
    SetStartStop(kStartCaption, false);
    view_.SetText(MainText::Message, "");

    DownloadUpdateData();
    RefreshView();

    // With update data at hand the first run starts without a click.
    if (startStopEnabled_) {
        StartUpdate();
    } else {
        ScheduleDownloadRetry();
    }
}

void MainWindowLogic::DownloadUpdateData() {
    UpdateData data;
    if (services_.Download) {
        // A download that throws found nothing: the window shows no data and the retry goes
        // on, where an escaping exception would end the retries with "loading ..." on screen.
        try {
            services_.Download(data, variants_,
                               [this](FirmwareFamily family, const std::string& text) {
                                   view_.SetText(VersionText(family), text);
                                   view_.PaintNow();
                               });
        } catch (const std::exception& e) {
            std::fprintf(stderr, "Veltrin: the update data could not be fetched: %s\n", e.what());
            data = UpdateData{};
            variants_.Clear();
        } catch (...) {
            std::fprintf(stderr, "Veltrin: the update data could not be fetched\n");
            data = UpdateData{};
            variants_.Clear();
        }
    }
    history_.NoteUpdateData(data);
    params_.HexQuorvanOtg = std::move(data.HexQuorvanOtg);
    params_.VersionQuorvanOtg = std::move(data.VersionQuorvanOtg);
    params_.HexTarnovelleK7 = std::move(data.HexTarnovelleK7);
    params_.VersionTarnovelleK7 = std::move(data.VersionTarnovelleK7);
}

void MainWindowLogic::RefreshView() {
    view_.SetText(MainText::QuorvanOtgVersion, VersionOrNotAvailable(params_.VersionQuorvanOtg));
    view_.SetText(MainText::TarnovelleK7Version,
                  VersionOrNotAvailable(params_.VersionTarnovelleK7));

    // First match wins: after a run the end dialog's choice is all that matters.
    bool enabled = false;
    const char* message = "No data found for update.\nPlease check your internet connection.";
    if (params_.NextAction == NEXT_ACTION_START) {
        message = "Start Update.";
    } else if (params_.NextAction == NEXT_ACTION_EXIT) {
        message = "Exit program.";
    } else if (!IsBlankText(params_.VersionQuorvanOtg) ||
               !IsBlankText(params_.VersionTarnovelleK7)) {
        enabled = true;
        message = "Plug device into USB and start update.";
    }
    SetStartStopEnabled(enabled);
    view_.SetText(MainText::Message, message);
}

void MainWindowLogic::Timer_DownloadIntelHexTimer() {
    if (!TimerOn(MainTimer::DownloadIntelHex)) {
        return;
    }
    StopTimer(MainTimer::DownloadIntelHex);
    if (!DownloadRetryWanted(params_)) {
        return;
    }
    DownloadUpdateData();
    RefreshView();
    // A download that succeeds here only enables Start; the user starts the run.
    if (!startStopEnabled_) {
        ScheduleDownloadRetry();
    }
}

void MainWindowLogic::ScheduleDownloadRetry() {
    // With both firmware files at hand the timer stays off, even if neither passed its check.
    if (DownloadRetryWanted(params_)) {
        ArmTimer(MainTimer::DownloadIntelHex, kDownloadRetryMs);
    }
}

void MainWindowLogic::ArmTimer(MainTimer timer, int intervalMs) {
    timerOn_[static_cast<int>(timer)] = true;
    view_.ArmTimer(timer, intervalMs);
}

void MainWindowLogic::StopTimer(MainTimer timer) {
    timerOn_[static_cast<int>(timer)] = false;
    view_.StopTimer(timer);
}

bool MainWindowLogic::TimerOn(MainTimer timer) const {
    return timerOn_[static_cast<int>(timer)];
}

void MainWindowLogic::Button_StartStopClick() {
    // A disabled button cannot be clicked; a click that arrives anyway (queued before the
    // button was disabled, or forged by another program) must not start a run.
    if (!startStopEnabled_) {
        return;
    }
    if (params_.ThreadRunning) {
        StopUpdate();
    } else {
        StartUpdate();
    }
}

void MainWindowLogic::StartUpdate() {
    if (params_.ThreadRunning) {
        return;
    }
    worker_ = StartWorkerOrNull();
    params_.ThreadRunning = worker_ != nullptr;
    if (!params_.ThreadRunning) {
        return;
    }
    StopTimer(MainTimer::DownloadIntelHex);
    view_.SetText(MainText::ThreadActionCaption, "Firmware update ...");
    view_.SetText(MainText::Action, "");
    total_ = ProgressBarState{};
    action_ = ProgressBarState{};
    ShowBar(MainBar::Total);
    ShowBar(MainBar::Action);
    ShowProgressView(true);
    SetStartStop(kCancelCaption, true);
}

ClTread* MainWindowLogic::StartWorkerOrNull() {
    // A worker that cannot be created is no run; an exception would leave the event handler
    // (or, at start-up, the window's creation) and take the whole program with it.
    try {
        return services_.StartWorker ? services_.StartWorker(*this, dispatcher_) : nullptr;
    } catch (...) {
        return nullptr;
    }
}

void MainWindowLogic::StopUpdate() {
    // The window stays as it is; the worker ends at its next check point. Asking again only
    // repeats the request.
    if (params_.ThreadRunning && worker_ != nullptr) {
        worker_->Terminate();
    }
}

void MainWindowLogic::UpdateThreadEnded() {
    // The run is over whatever the view does next: a window that still believed it running
    // could never close, and its owner would wait for the worker forever.
    params_.ThreadRunning = false;
    worker_ = nullptr;  // the engine frees it after this returns
    // The next action follows even when showing the idle view fails; the failure itself still
    // reaches the view's exception display.
    try {
        ShowProgressView(false);
        view_.SetText(MainText::StartStopCaption, kStartCaption);
        RefreshView();
    } catch (...) {
        ArmNextActionUnlessClosing();
        throw;
    }
    ArmNextActionUnlessClosing();
}

void MainWindowLogic::ArmNextActionUnlessClosing() {
    // A window that goes away starts nothing after the run.
    if (!closing_) {
        ArmTimer(MainTimer::NextAction, kNextActionMs);
    }
}

void MainWindowLogic::Timer_NextActionTimer() {
    // The timer keeps running until the run has been handled completely.
    if (!TimerOn(MainTimer::NextAction) || params_.ThreadRunning) {
        return;
    }
    StopTimer(MainTimer::NextAction);
    if (params_.NextAction == NEXT_ACTION_START) {
        StartUpdate();
        if (!params_.ThreadRunning) {
            // No worker for the next device: the window shows what it has, as after any start
            // that failed, and the user starts again with the button.
            params_.NextAction = NEXT_ACTION_NONE;
            RefreshView();
            ScheduleDownloadRetry();
        }
    } else if (params_.NextAction == NEXT_ACTION_EXIT) {
        view_.CloseWindow();
    }
}

bool MainWindowLogic::FormClose() {
    if (params_.ThreadRunning) {
        return false;
    }
    StopTimer(MainTimer::DownloadIntelHex);
    StopTimer(MainTimer::NextAction);
    return true;
}

void MainWindowLogic::CloseDown(const std::function<void()>& waitForEvents) {
    StopTimer(MainTimer::DownloadIntelHex);
    StopTimer(MainTimer::NextAction);
    // Normally nothing runs here (closing is refused during a run), but the worker must never
    // be left calling into an owner that is gone.
    if (params_.ThreadRunning) {
        closing_ = true;
        StopUpdate();
        while (params_.ThreadRunning) {
            waitForEvents();
        }
    }
    if (services_.JoinWorkers) {
        services_.JoinWorkers();
    }
}

void MainWindowLogic::SetStartStop(const std::string& caption, bool enabled) {
    view_.SetText(MainText::StartStopCaption, caption);
    SetStartStopEnabled(enabled);
}

void MainWindowLogic::SetStartStopEnabled(bool enabled) {
    startStopEnabled_ = enabled;
    view_.SetStartStopEnabled(enabled);
}

void MainWindowLogic::ShowProgressView(bool progress) {
    view_.ShowProgressView(progress);
}

MainText MainWindowLogic::VersionText(FirmwareFamily family) {
    return family == FirmwareFamily::QuorvanOtg ? MainText::QuorvanOtgVersion
                                                : MainText::TarnovelleK7Version;
}

}  // namespace veltrin
