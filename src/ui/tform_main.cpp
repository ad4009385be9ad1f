#include "ui/tform_main.h"

#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "ui/formtools.h"

namespace veltrin {
namespace {

constexpr char kProgramVersion[] = "00.01.00";
// Client area under a standard window frame of 400 x 320.
constexpr int kClientWidth = 394;
constexpr int kClientHeight = 291;

QLabel* MakeLabel(QWidget* parent, const char* objectName, int x, int y, const char* text) {
    QLabel* label = MakePlainLabel(parent, objectName, x, y);
    SetAutoSizeText(label, QString::fromLatin1(text));
    return label;
}

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
      services_(std::move(services)),
      history_("veltrin", services_.HistoryFile),
      dispatcher_(this) {
    BuildForm();
    variants_.Clear();

    setFixedSize(kClientWidth, kClientHeight);
    setWindowTitle(QStringLiteral("Update Quorvan / Tarnovelle - Version ") +
                   QString::fromLatin1(kProgramVersion));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }

    // Both views share one place; exactly one of them is visible at any time.
    GroupBox_Message->setGeometry(GroupBox_ThreadAction->geometry());
    ShowMessageView(true);

    Button_StartStop->setEnabled(false);
    Button_StartStop->setText(QStringLiteral("Start Update"));
    Label_Message->setText(QString());

    DownloadUpdateData();
    RefreshView();

    // With update data at hand the first run starts without a click.
    if (Button_StartStop->isEnabled()) {
        StartUpdate();
    } else {
        Timer_DownloadIntelHex->start();
    }
}

TForm_Main::~TForm_Main() {
    Timer_DownloadIntelHex->stop();
    Timer_NextAction->stop();
    FinishRunBeforeDestruction();
    if (services_.JoinWorkers) {
        services_.JoinWorkers();
    }
}

void TForm_Main::AttachDialogs(TForm_MessageThreadEnd* endDialog,
                               TForm_MessageThread* questionDialog) {
    endDialog_ = endDialog;
    questionDialog_ = questionDialog;
}

void TForm_Main::BuildForm() {
    setObjectName(QStringLiteral("Form_Main"));
    setFont(TahomaFont(13));

    Button_StartStop = new QPushButton(QStringLiteral("Start Update"), this);
    Button_StartStop->setObjectName(QStringLiteral("Button_StartStop"));
    Button_StartStop->setGeometry(150, 257, 100, 25);
    connect(Button_StartStop, &QPushButton::clicked, this, &TForm_Main::Button_StartStopClick);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(8, 8, 378, 238);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);

    GroupBox_Firmware = MakeGroupBox(Panel1, "GroupBox_Firmware", 12, 10, 352, 80);
    GroupBox_Firmware->setTitle(QStringLiteral("Latest update version"));
    Label_Firmware_QuorvanOtg_Name =
        MakeLabel(GroupBox_Firmware, "Label_Firmware_QuorvanOtg_Name", 24, 24, "Quorvan/plus");
    Label_Firmware_TarnovelleK7_Name = MakeLabel(
        GroupBox_Firmware, "Label_Firmware_TarnovelleK7_Name", 24, 48, "Tarnovelle K7/K7x");
    Label_Firmware_QuorvanOtg_Version =
        MakeLabel(GroupBox_Firmware, "Label_Firmware_QuorvanOtg_Version", 130, 24, "not available");
    Label_Firmware_TarnovelleK7_Version = MakeLabel(
        GroupBox_Firmware, "Label_Firmware_TarnovelleK7_Version", 130, 48, "not available");

    GroupBox_ThreadAction = MakeGroupBox(Panel1, "GroupBox_ThreadAction", 12, 108, 352, 118);
    ProgressBar_Total = MakeProgressBar(GroupBox_ThreadAction, "ProgressBar_Total", 22);
    Label_Action = MakeLabel(GroupBox_ThreadAction, "Label_Action", 16, 56, "");
    ProgressBar_Action = MakeProgressBar(GroupBox_ThreadAction, "ProgressBar_Action", 78);

    GroupBox_Message = MakeGroupBox(Panel1, "GroupBox_Message", 12, 108, 352, 118);
    Label_Message = MakePlainLabel(GroupBox_Message, "Label_Message", 24, 8);
    Label_Message->setFont(TahomaFont(16));
    Label_Message->setAlignment(Qt::AlignCenter);
    Label_Message->setWordWrap(true);

    Timer_DownloadIntelHex = MakeTimer(this, "Timer_DownloadIntelHex", 1000);
    connect(Timer_DownloadIntelHex, &QTimer::timeout, this,
            &TForm_Main::Timer_DownloadIntelHexTimer);
    Timer_NextAction = MakeTimer(this, "Timer_NextAction", 100);
    connect(Timer_NextAction, &QTimer::timeout, this, &TForm_Main::Timer_NextActionTimer);
}

void TForm_Main::ShowMessageView(bool message) {
    GroupBox_Message->setVisible(message);
    GroupBox_ThreadAction->setVisible(!message);
}

QLabel* TForm_Main::VersionLabel(FirmwareFamily family) const {
    return family == FirmwareFamily::QuorvanOtg ? Label_Firmware_QuorvanOtg_Version
                                                : Label_Firmware_TarnovelleK7_Version;
}

}  // namespace veltrin
