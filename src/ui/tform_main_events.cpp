#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <algorithm>
#include <cstring>

#include "common/texttrim.h"
#include "ui/formtools.h"
#include "ui/tform_main.h"
#include "ui/tform_messagethread.h"
#include "ui/tform_messagethreadend.h"
#include "ui/variantrecords.h"

// The worker's events. Each runs on the UI thread while the worker waits for it to return, so
// the worker's record and the window need no lock.

namespace veltrin {
namespace {

// Like the progress bars the engine was written against, a position outside the range is
// pinned to its nearer end instead of being dropped.
void SetBarPosition(QProgressBar* bar, long long position) {
    bar->setValue(
        static_cast<int>(std::clamp<long long>(position, bar->minimum(), bar->maximum())));
}

// The bar's position, also after Qt reset the bar (a reset bar reports minimum - 1).
long long BarPosition(const QProgressBar* bar) {
    return std::max(bar->value(), bar->minimum());
}

// Qt resets a bar whose range no longer holds its position; keep the position pinned instead.
void SetBarMaximum(QProgressBar* bar, int maximum) {
    const long long position = BarPosition(bar);
    bar->setMaximum(maximum);
    SetBarPosition(bar, position);
}

constexpr int kDialogOffsetQuestion = 30;
constexpr int kDialogOffsetEnd = 50;

}  // namespace

void TForm_Main::ThreadFetchParams(TSThreadParams& params) {
    history_.RunStarted();
    params.HexQuorvanOtg = MainParams.HexQuorvanOtg;
    params.VersionQuorvanOtg = MainParams.VersionQuorvanOtg;
    params.HexTarnovelleK7 = MainParams.HexTarnovelleK7;
    params.VersionTarnovelleK7 = MainParams.VersionTarnovelleK7;
}

void TForm_Main::ThreadSetTotalMax(TSThreadParams& params) {
    SetBarMaximum(ProgressBar_Total, params.EventValue);
}

void TForm_Main::ThreadSetTotalPosition(TSThreadParams& params) {
    SetBarPosition(ProgressBar_Total, params.EventValue);
}

void TForm_Main::ThreadStepTotal(TSThreadParams& params) {
    SetBarPosition(ProgressBar_Total, BarPosition(ProgressBar_Total) + params.EventValue);
}

void TForm_Main::ThreadSetActionMax(TSThreadParams& params) {
    SetBarMaximum(ProgressBar_Action, params.EventValue);
}

void TForm_Main::ThreadSetActionPosition(TSThreadParams& params) {
    SetBarPosition(ProgressBar_Action, params.EventValue);
}

void TForm_Main::ThreadShowTitle(TSThreadParams& params) {
    GroupBox_ThreadAction->setTitle(ToQString(TrimText(params.EventText)));
}

void TForm_Main::ThreadShowAction(TSThreadParams& params) {
    SetAutoSizeText(Label_Action, ToQString(TrimText(params.EventText)));
}

void TForm_Main::ThreadAskYesNo(TSThreadParams& params) {
    params.EventAnswer = 0;
    if (closing_ || questionDialog_ == nullptr) {
        return;
    }
    questionDialog_->SetMessage(params.EventText);
    questionDialog_->move(frameGeometry().topLeft() +
                          QPoint(kDialogOffsetQuestion, kDialogOffsetQuestion));
    params.EventAnswer = questionDialog_->exec() == QDialog::Accepted ? 1 : 0;
}

void TForm_Main::ThreadReportEnd(TSThreadParams& params, bool terminated) {
    // Recorded before the dialog: the record must not wait for the user, nor be lost when the
    // window closes instead.
    RecordRunInHistory(params, terminated);
    if (closing_ || endDialog_ == nullptr) {
        return;
    }
    endDialog_->move(frameGeometry().topLeft() + QPoint(kDialogOffsetEnd, kDialogOffsetEnd));
    endDialog_->ShowResult(terminated, params.ResultCode, params.EventText);
    MainParams.NextAction = endDialog_->exec();
}

void TForm_Main::ThreadLookupVariant(TSThreadParams& params) {
    TSClQuorvanVariants_ParamRecord record{};
    const bool found = variants_.FindVariant(params.VariantId, record);
    if (found) {
        const ConfigRecordImage config = MakeConfigRecord(record);
        const ParamRecordImage param = MakeParamRecord(record);
        std::memcpy(params.DeviceParamsA, config.data(), config.size());
        std::memcpy(params.DeviceParamsB, param.data(), param.size());
    } else {
        std::memset(params.DeviceParamsA, 0, sizeof params.DeviceParamsA);
        std::memset(params.DeviceParamsB, 0, sizeof params.DeviceParamsB);
    }
    params.EventAnswer = found ? 1 : 0;
}

}  // namespace veltrin
