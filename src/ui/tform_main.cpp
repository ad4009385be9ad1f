#include "ui/tform_main.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "ui/formtools.h"
#include "ui/tform_messagethread.h"
#include "ui/tform_messagethreadend.h"

namespace veltrin {
namespace {

// Client area under a standard window frame of 400 x 320.
constexpr int kClientWidth = 394;
constexpr int kClientHeight = 291;

QGroupBox* MakeGroupBox(QWidget* parent, const char* objectName, int x, int y, int w, int h) {
    auto* box = new QGroupBox(parent);
    box->setObjectName(QString::fromLatin1(objectName));
    box->setGeometry(x, y, w, h);
    return box;
}

QProgressBar* MakeProgressBar(QWidget* parent, const char* objectName, int y) {
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(QString::fromLatin1(objectName));
    bar->setGeometry(16, y, 320, 24);
    bar->setTextVisible(false);
    return bar;
}

QTimer* MakeTimer(QObject* parent, const char* objectName, int interval) {
    auto* timer = new QTimer(parent);
    timer->setObjectName(QString::fromLatin1(objectName));
    timer->setInterval(interval);
    return timer;
}

}  // namespace

TForm_Main::TForm_Main(MainWindowServices services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      dispatcher_(this),
      logic_(*this, dispatcher_, std::move(services)) {
    BuildForm();
    setFixedSize(kClientWidth, kClientHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    // Both views share one place.
    GroupBox_Message->setGeometry(GroupBox_ThreadAction->geometry());
    logic_.Open();
}

TForm_Main::~TForm_Main() {
    logic_.CloseDown([] { QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents); });
}

void TForm_Main::AttachDialogs(TForm_MessageThreadEnd* endDialog,
                               TForm_MessageThread* questionDialog) {
    endDialog_ = endDialog;
    questionDialog_ = questionDialog;
}

void TForm_Main::BuildForm() {
    setObjectName(QStringLiteral("Form_Main"));
    setFont(TahomaFont(13));

    Button_StartStop = new QPushButton(this);
    Button_StartStop->setObjectName(QStringLiteral("Button_StartStop"));
    Button_StartStop->setGeometry(150, 257, 100, 25);
    connect(Button_StartStop, &QPushButton::clicked, this, &TForm_Main::Button_StartStopClick);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(8, 8, 378, 238);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);

    GroupBox_Firmware = MakeGroupBox(Panel1, "GroupBox_Firmware", 12, 10, 352, 80);
    Label_Firmware_QuorvanOtg_Name =
        MakePlainLabel(GroupBox_Firmware, "Label_Firmware_QuorvanOtg_Name", 24, 24);
    Label_Firmware_TarnovelleK7_Name =
        MakePlainLabel(GroupBox_Firmware, "Label_Firmware_TarnovelleK7_Name", 24, 48);
    Label_Firmware_QuorvanOtg_Version =
        MakePlainLabel(GroupBox_Firmware, "Label_Firmware_QuorvanOtg_Version", 130, 24);
    Label_Firmware_TarnovelleK7_Version =
        MakePlainLabel(GroupBox_Firmware, "Label_Firmware_TarnovelleK7_Version", 130, 48);

    GroupBox_ThreadAction = MakeGroupBox(Panel1, "GroupBox_ThreadAction", 12, 108, 352, 118);
    ProgressBar_Total = MakeProgressBar(GroupBox_ThreadAction, "ProgressBar_Total", 22);
    Label_Action = MakePlainLabel(GroupBox_ThreadAction, "Label_Action", 16, 56);
    ProgressBar_Action = MakeProgressBar(GroupBox_ThreadAction, "ProgressBar_Action", 78);

    GroupBox_Message = MakeGroupBox(Panel1, "GroupBox_Message", 12, 108, 352, 118);
    Label_Message = MakePlainLabel(GroupBox_Message, "Label_Message", 24, 8);
    Label_Message->setFont(TahomaFont(16));
    Label_Message->setAlignment(Qt::AlignCenter);
    Label_Message->setWordWrap(true);

    Timer_DownloadIntelHex =
        MakeTimer(this, "Timer_DownloadIntelHex", MainWindowLogic::kDownloadRetryMs);
    connect(Timer_DownloadIntelHex, &QTimer::timeout, this,
            &TForm_Main::Timer_DownloadIntelHexTimer);
    Timer_NextAction = MakeTimer(this, "Timer_NextAction", MainWindowLogic::kNextActionMs);
    connect(Timer_NextAction, &QTimer::timeout, this, &TForm_Main::Timer_NextActionTimer);
}

void TForm_Main::closeEvent(QCloseEvent* event) {
    if (logic_.FormClose()) {
        event->accept();
    } else {
        event->ignore();
    }
}

QLabel* TForm_Main::LabelOf(MainText control) const {
    switch (control) {
        case MainText::QuorvanOtgName:
            return Label_Firmware_QuorvanOtg_Name;
        case MainText::TarnovelleK7Name:
            return Label_Firmware_TarnovelleK7_Name;
        case MainText::QuorvanOtgVersion:
            return Label_Firmware_QuorvanOtg_Version;
        case MainText::TarnovelleK7Version:
            return Label_Firmware_TarnovelleK7_Version;
        case MainText::Action:
            return Label_Action;
        case MainText::Message:
            return Label_Message;
        default:
            return nullptr;
    }
}

QTimer* TForm_Main::TimerOf(MainTimer timer) const {
    return timer == MainTimer::DownloadIntelHex ? Timer_DownloadIntelHex : Timer_NextAction;
}

void TForm_Main::SetText(MainText control, const std::string& text) {
    const QString shown = ToQString(text);
    switch (control) {
        case MainText::WindowCaption:
            setWindowTitle(shown);
            return;
        case MainText::FirmwareBoxCaption:
            GroupBox_Firmware->setTitle(shown);
            return;
        case MainText::ThreadActionCaption:
            GroupBox_ThreadAction->setTitle(shown);
            return;
        case MainText::StartStopCaption:
            Button_StartStop->setText(shown);
            return;
        case MainText::Message:
            // The message fills its box whatever its length and wraps inside it.
            Label_Message->setText(shown);
            StretchOverBox(Label_Message, GroupBox_Message);
            return;
        default:
            SetAutoSizeText(LabelOf(control), shown);
            return;
    }
}

void TForm_Main::PaintNow() {
    // Only the version labels change during a download.
    Label_Firmware_QuorvanOtg_Version->repaint();
    Label_Firmware_TarnovelleK7_Version->repaint();
}

void TForm_Main::SetStartStopEnabled(bool enabled) {
    Button_StartStop->setEnabled(enabled);
}

void TForm_Main::ShowProgressView(bool progress) {
    GroupBox_Message->setVisible(!progress);
    GroupBox_ThreadAction->setVisible(progress);
}

void TForm_Main::SetBar(MainBar bar, int maximum, int position) {
    QProgressBar* shown = bar == MainBar::Total ? ProgressBar_Total : ProgressBar_Action;
    shown->setRange(0, maximum);
    shown->setValue(position);
}

void TForm_Main::ArmTimer(MainTimer timer, int intervalMs) {
    TimerOf(timer)->start(intervalMs);
}

void TForm_Main::StopTimer(MainTimer timer) {
    TimerOf(timer)->stop();
}

bool TForm_Main::AskYesNo(const std::string& question, int offset) {
    if (questionDialog_ == nullptr) {
        return false;
    }
    questionDialog_->SetMessage(question);
    questionDialog_->move(frameGeometry().topLeft() + QPoint(offset, offset));
    return questionDialog_->exec() == QDialog::Accepted;
}

int TForm_Main::ShowEndDialog(bool terminated, int code, const std::string& text, int offset) {
    if (endDialog_ == nullptr) {
        return 0;
    }
    endDialog_->move(frameGeometry().topLeft() + QPoint(offset, offset));
    endDialog_->ShowResult(terminated, code, text);
    return endDialog_->exec();
}

void TForm_Main::CloseWindow() {
    close();
}

}  // namespace veltrin
