#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "common/texttrim.h"
#include "engine/clthread.h"
#include "ui/formtools.h"
#include "ui/tform_main.h"

namespace veltrin {
namespace {

QString VersionOrNotAvailable(const std::string& version) {
    const std::string trimmed = TrimText(version);
    return trimmed.empty() ? QStringLiteral("not available") : ToQString(trimmed);
}

}  // namespace

void TForm_Main::DownloadUpdateData() {
    UpdateData data;
    if (services_.Download) {
        services_.Download(data, variants_, [this](FirmwareFamily family, const std::string& text) {
            QLabel* label = VersionLabel(family);
            SetAutoSizeText(label, ToQString(text));
            // The download blocks the event loop; paint the state now or it is never seen.
            label->repaint();
        });
    }
    history_.NoteUpdateData(data);
    MainParams.HexQuorvanOtg = std::move(data.HexQuorvanOtg);
    MainParams.VersionQuorvanOtg = std::move(data.VersionQuorvanOtg);
    MainParams.HexTarnovelleK7 = std::move(data.HexTarnovelleK7);
    MainParams.VersionTarnovelleK7 = std::move(data.VersionTarnovelleK7);
}

void TForm_Main::RefreshView() {
    SetAutoSizeText(Label_Firmware_QuorvanOtg_Version,
                    VersionOrNotAvailable(MainParams.VersionQuorvanOtg));
    SetAutoSizeText(Label_Firmware_TarnovelleK7_Version,
                    VersionOrNotAvailable(MainParams.VersionTarnovelleK7));

    bool enabled = false;
    QString message;
    if (MainParams.NextAction == NEXT_ACTION_START) {
        message = QStringLiteral("Start Update.");
    } else if (MainParams.NextAction == NEXT_ACTION_EXIT) {
        message = QStringLiteral("Exit program.");
    } else if (!IsBlankText(MainParams.VersionQuorvanOtg) ||
               !IsBlankText(MainParams.VersionTarnovelleK7)) {
        enabled = true;
        message = QStringLiteral("Plug device into USB and start update.");
    } else {
        message =
            QStringLiteral("No data found for update.\nPlease check your internet connection.");
    }
    Button_StartStop->setEnabled(enabled);
    Label_Message->setText(message);
    StretchOverBox(Label_Message, GroupBox_Message);
}

void TForm_Main::Timer_DownloadIntelHexTimer() {
    Timer_DownloadIntelHex->stop();
    // Both firmware texts at hand: another download would bring the same files again, even
    // when neither passed its check.
    if (!IsBlankText(MainParams.HexQuorvanOtg) && !IsBlankText(MainParams.HexTarnovelleK7)) {
        return;
    }
    DownloadUpdateData();
    RefreshView();
    // A download that succeeds here only enables Start; the user starts the run.
    if (!Button_StartStop->isEnabled()) {
        Timer_DownloadIntelHex->start();
    }
}

void TForm_Main::Button_StartStopClick() {
    if (MainParams.ThreadRunning) {
        StopUpdate();
    } else {
        StartUpdate();
    }
}

void TForm_Main::StartUpdate() {
    if (MainParams.ThreadRunning) {
        return;
    }
    worker_ = services_.StartWorker ? services_.StartWorker(*this, dispatcher_) : nullptr;
    MainParams.ThreadRunning = worker_ != nullptr;
    if (!MainParams.ThreadRunning) {
        return;
    }
    Timer_DownloadIntelHex->stop();
    GroupBox_ThreadAction->setTitle(QStringLiteral("Firmware update ..."));
    SetAutoSizeText(Label_Action, QString());
    ProgressBar_Total->setRange(0, 100);
    ProgressBar_Total->setValue(0);
    ProgressBar_Action->setRange(0, 100);
    ProgressBar_Action->setValue(0);
    ShowMessageView(false);
    Button_StartStop->setEnabled(true);
    Button_StartStop->setText(QStringLiteral("Cancel"));
}

void TForm_Main::StopUpdate() {
    // The window stays as it is; the worker ends at its next check point. Asking again only
    // repeats the request.
    if (MainParams.ThreadRunning && worker_ != nullptr) {
        worker_->Terminate();
    }
}

void TForm_Main::UpdateThreadEnded() {
    ShowMessageView(true);
    Button_StartStop->setText(QStringLiteral("Start Update"));
    RefreshView();
    MainParams.ThreadRunning = false;
    worker_ = nullptr;  // the engine frees it after this returns
    Timer_NextAction->start();
}

void TForm_Main::Timer_NextActionTimer() {
    if (MainParams.ThreadRunning) {
        return;
    }
    Timer_NextAction->stop();
    if (MainParams.NextAction == NEXT_ACTION_START) {
        StartUpdate();
    } else if (MainParams.NextAction == NEXT_ACTION_EXIT) {
        close();
    }
}

void TForm_Main::closeEvent(QCloseEvent* event) {
    // The user has to cancel the run first; nothing is said about it.
    if (MainParams.ThreadRunning) {
        event->ignore();
        return;
    }
    Timer_DownloadIntelHex->stop();
    Timer_NextAction->stop();
    event->accept();
}

void TForm_Main::FinishRunBeforeDestruction() {
    // Normally unreachable (closing is refused during a run), but if the window is torn down
    // anyway the worker must not be left calling into a destroyed owner: stop it and serve its
    // remaining events, without asking the user anything, until it has ended.
    if (!MainParams.ThreadRunning) {
        return;
    }
    closing_ = true;
    StopUpdate();
    while (MainParams.ThreadRunning) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

}  // namespace veltrin
