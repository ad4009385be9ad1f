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
#include <algorithm>

#include "ui/formtools.h"
#include "ui/tform_messagethread.h"
#include "ui/tform_messagethreadend.h"
#include "ui/windowaccessible.h"
#include "ui/windowkeys.h"
#include "windowlogic/downloadretry.h"

namespace veltrin {
namespace {

template <typename Widget>
Widget* MakeControl(QWidget* parent, const char* objectName, FormControl id) {
    auto* control = new Widget(parent);
    control->setObjectName(QString::fromLatin1(objectName));
    ApplyLayout(control, id);
    return control;
}

QProgressBar* MakeProgressBar(QWidget* parent, const char* objectName, FormControl id) {
    auto* bar = MakeControl<QProgressBar>(parent, objectName, id);
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
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
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
    using C = FormControl;
    setObjectName(QStringLiteral("Form_Main"));
    AnnounceAsFrame(this);
    ApplyLayout(this, C::MainWindow);
    setFont(TahomaFont(LayoutOf(C::MainWindow).FontPixels));

    Button_StartStop = MakeControl<QPushButton>(this, "Button_StartStop", C::Button_StartStop);
    connect(Button_StartStop, &QPushButton::clicked, this, &TForm_Main::Button_StartStopClick);

    Panel1 = MakeControl<QFrame>(this, "Panel1", C::Panel1);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);

    GroupBox_Firmware = MakeControl<QGroupBox>(Panel1, "GroupBox_Firmware", C::GroupBox_Firmware);
    Label_Firmware_QuorvanOtg_Name = MakeLabel(GroupBox_Firmware, "Label_Firmware_QuorvanOtg_Name",
                                               C::Label_Firmware_QuorvanOtg_Name);
    Label_Firmware_TarnovelleK7_Name = MakeLabel(
        GroupBox_Firmware, "Label_Firmware_TarnovelleK7_Name", C::Label_Firmware_TarnovelleK7_Name);
    Label_Firmware_QuorvanOtg_Version =
        MakeLabel(GroupBox_Firmware, "Label_Firmware_QuorvanOtg_Version",
                  C::Label_Firmware_QuorvanOtg_Version);
    Label_Firmware_TarnovelleK7_Version =
        MakeLabel(GroupBox_Firmware, "Label_Firmware_TarnovelleK7_Version",
                  C::Label_Firmware_TarnovelleK7_Version);

    GroupBox_ThreadAction =
        MakeControl<QGroupBox>(Panel1, "GroupBox_ThreadAction", C::GroupBox_ThreadAction);
    ProgressBar_Total =
        MakeProgressBar(GroupBox_ThreadAction, "ProgressBar_Total", C::ProgressBar_Total);
    Label_Action = MakeLabel(GroupBox_ThreadAction, "Label_Action", C::Label_Action);
    ProgressBar_Action =
        MakeProgressBar(GroupBox_ThreadAction, "ProgressBar_Action", C::ProgressBar_Action);

    // The message view takes the progress view's place; one of the two is visible at a time.
    GroupBox_Message = MakeControl<QGroupBox>(Panel1, "GroupBox_Message", C::GroupBox_Message);
    Label_Message = MakeLabel(GroupBox_Message, "Label_Message", C::Label_Message);

    Timer_DownloadIntelHex = MakeTimer(this, "Timer_DownloadIntelHex", kDownloadRetryMs);
    connect(Timer_DownloadIntelHex, &QTimer::timeout, this,
            &TForm_Main::Timer_DownloadIntelHexTimer);
    Timer_NextAction = MakeTimer(this, "Timer_NextAction", MainWindowLogic::kNextActionMs);
    connect(Timer_NextAction, &QTimer::timeout, this, &TForm_Main::Timer_NextActionTimer);
    new WindowKeys(this, C::MainWindow, [this](FormControl control) -> QWidget* {
        return control == FormControl::Button_StartStop ? Button_StartStop : nullptr;
    });
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
    switch (control) {
        case MainText::WindowCaption:
            setWindowTitle(ToQString(text));
            return;
        case MainText::FirmwareBoxCaption:
            GroupBox_Firmware->setTitle(ToQString(text));
            return;
        case MainText::ThreadActionCaption:
            GroupBox_ThreadAction->setTitle(ToQString(text));
            return;
        case MainText::StartStopCaption:
            Button_StartStop->setText(ToQString(text));
            return;
        default:
            SetLabelText(LabelOf(control), ControlOf(control), text);
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
    // Disabling the button took the focus from it; enabled again it takes it back, or Space
    // and Enter do nothing until the user presses Tab.
    const QWidget* focus = focusWidget();
    if (enabled && (focus == nullptr || !focus->isEnabled())) {
        Button_StartStop->setFocus(Qt::OtherFocusReason);
    }
}

void TForm_Main::ShowProgressView(bool progress) {
    GroupBox_Message->setVisible(!progress);
    GroupBox_ThreadAction->setVisible(progress);
}

void TForm_Main::SetBar(MainBar bar, int maximum, int position) {
    QProgressBar* shown = bar == MainBar::Total ? ProgressBar_Total : ProgressBar_Action;
    // An empty range (a search over no serial port at all) is drawn as an empty bar of range
    // 0..1: for 0..0 Qt shows its moving busy indicator, which tells the user that something
    // is still going on. The logic keeps the position at 0 there.
    shown->setRange(0, std::max(maximum, 1));
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
    const bool yes = questionDialog_->exec() == QDialog::Accepted;
    ComeBackFromDialog();
    return yes;
}

int TForm_Main::ShowEndDialog(bool terminated, int code, const std::string& text, int offset) {
    if (endDialog_ == nullptr) {
        return 0;
    }
    endDialog_->move(frameGeometry().topLeft() + QPoint(offset, offset));
    endDialog_->ShowResult(terminated, code, text);
    const int result = endDialog_->exec();
    ComeBackFromDialog();
    return result;
}

void TForm_Main::ComeBackFromDialog() {
    // Not every window manager (nor none at all) activates the owner when its dialog goes, and
    // the keys would reach no window; activated, the window gives the focus back to the
    // control that had it.
    activateWindow();
}

void TForm_Main::CloseWindow() {
    close();
}

}  // namespace veltrin
