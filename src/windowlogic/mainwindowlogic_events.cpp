#include <cstdio>

#include "common/texttrim.h"
#include "records/devicerecordlookup.h"
#include "windowlogic/enddialoglogic.h"
#include "windowlogic/formlayout.h"
#include "windowlogic/mainwindowlogic.h"

// The worker's events. Each runs on the UI thread while the worker waits for it to return, so
// the worker's record and the window need no lock.

namespace veltrin {

void MainWindowLogic::ThreadFetchParams(TSThreadParams& params) {
    history_.RunStarted();
    // Copied as downloaded, untrimmed: the worker checks them itself.
    params.HexQuorvanOtg = params_.HexQuorvanOtg;
    params.VersionQuorvanOtg = params_.VersionQuorvanOtg;
    params.HexTarnovelleK7 = params_.HexTarnovelleK7;
    params.VersionTarnovelleK7 = params_.VersionTarnovelleK7;
}

void MainWindowLogic::ThreadSetTotalMax(TSThreadParams& params) {
    total_.SetMaximum(params.EventValue);
    ShowBar(MainBar::Total);
}

void MainWindowLogic::ThreadSetTotalPosition(TSThreadParams& params) {
    total_.SetPosition(params.EventValue);
    ShowBar(MainBar::Total);
}

void MainWindowLogic::ThreadStepTotal(TSThreadParams& params) {
    total_.Step(params.EventValue);
    ShowBar(MainBar::Total);
}

void MainWindowLogic::ThreadSetActionMax(TSThreadParams& params) {
    action_.SetMaximum(params.EventValue);
    ShowBar(MainBar::Action);
}

void MainWindowLogic::ThreadSetActionPosition(TSThreadParams& params) {
    action_.SetPosition(params.EventValue);
    ShowBar(MainBar::Action);
}

void MainWindowLogic::ThreadShowTitle(TSThreadParams& params) {
    view_.SetText(MainText::ThreadActionCaption, TrimText(params.EventText));
}

void MainWindowLogic::ThreadShowAction(TSThreadParams& params) {
    view_.SetText(MainText::Action, TrimText(params.EventText));
}

void MainWindowLogic::ThreadAskYesNo(TSThreadParams& params) {
    // A window that goes away answers No: nothing is installed without a person's Yes.
    params.EventAnswer = 0;
    if (closing_) {
        return;
    }
    params.EventAnswer = view_.AskYesNo(params.EventText, kQuestionDialogOffset) ? 1 : 0;
}

void MainWindowLogic::ThreadReportEnd(TSThreadParams& params, bool terminated) {
    // Recorded before the dialog: the record must not wait for the user, nor be lost when the
    // window closes instead.
    RecordRunInHistory(params, terminated);
    if (closing_) {
        return;
    }
    const int choice =
        view_.ShowEndDialog(terminated, params.ResultCode, params.EventText, kEndDialogOffset);
    // The dialog can only be left through its two buttons. One that returns without an answer
    // (the program is quitting) chose nothing: the last run's choice must not start a run.
    params_.NextAction =
        choice == EndDialogLogic::kResultStart || choice == EndDialogLogic::kResultExit
            ? choice
            : NEXT_ACTION_NONE;
}

void MainWindowLogic::ThreadLookupVariant(TSThreadParams& params) {
    const bool found = LookupDeviceRecords(variants_, params.VariantId, params.DeviceParamsA,
                                           params.DeviceParamsB);
    params.EventAnswer = found ? 1 : 0;
}

void MainWindowLogic::ThreadReportDevice(TSThreadParams& params) {
    history_.DeviceReported(params.Device);
}

void MainWindowLogic::RecordRunInHistory(const TSThreadParams& params, bool terminated) {
    std::string error;
    if (history_.RunEnded(params.ResultCode, terminated, error) != 0) {
        // The update's result stands; the window has no place for this, stderr does.
        std::fprintf(stderr, "Veltrin: the update history was not written: %s\n", error.c_str());
    }
}

const ProgressBarState& MainWindowLogic::Bar(MainBar bar) const {
    return bar == MainBar::Total ? total_ : action_;
}

ProgressBarState& MainWindowLogic::BarState(MainBar bar) {
    return bar == MainBar::Total ? total_ : action_;
}

void MainWindowLogic::ShowBar(MainBar bar) {
    const ProgressBarState& state = BarState(bar);
    view_.SetBar(bar, state.Maximum, state.Position);
}

}  // namespace veltrin
