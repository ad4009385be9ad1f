#pragma once

#include <QGroupBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "fakeworld.h"
#include "formchecks.h"
#include "ui/programwindows.h"
#include "ui/tform_main.h"

// The three windows as the program creates them. When a test leaves early while its fake run
// is still active, the run is ended first so that the window can go.
struct Program {
    veltrin::ProgramWindows windows;
    explicit Program(FakeWorld& world) : windows(CreateProgramWindows(world.Services())) {}
    ~Program() {
        if (windows.Form_Main->Params().ThreadRunning) {
            windows.Form_Main->UpdateThreadEnded();
        }
    }
    veltrin::TForm_Main& Main() { return *windows.Form_Main; }
};

// Reads the main window's visible state the way a user sees it.
struct MainWindowProbe {
    veltrin::TForm_Main* window;

    QPushButton* Button() const { return Child<QPushButton>(window, "Button_StartStop"); }
    QString ButtonText() const { return Button()->text(); }
    bool ButtonEnabled() const { return Button()->isEnabled(); }
    QString Message() const { return LabelText(window, "Label_Message"); }
    QString QuorvanVersion() const {
        return LabelText(window, "Label_Firmware_QuorvanOtg_Version");
    }
    QString TarnovelleVersion() const {
        return LabelText(window, "Label_Firmware_TarnovelleK7_Version");
    }
    QGroupBox* Box(const char* name) const { return Child<QGroupBox>(window, name); }
    // Exactly one of the two views is visible.
    bool ShowsMessage() const {
        return Box("GroupBox_Message")->isVisibleTo(window) &&
               !Box("GroupBox_ThreadAction")->isVisibleTo(window);
    }
    bool ShowsProgress() const {
        return !Box("GroupBox_Message")->isVisibleTo(window) &&
               Box("GroupBox_ThreadAction")->isVisibleTo(window);
    }
    QTimer* Timer(const char* name) const { return window->findChild<QTimer*>(name); }
    bool RetryTimerOn() const { return Timer("Timer_DownloadIntelHex")->isActive(); }
    QProgressBar* Bar(const char* name) const { return Child<QProgressBar>(window, name); }
};

inline const QString kNoData =
    QStringLiteral("No data found for update.\nPlease check your internet connection.");
inline const QString kReady = QStringLiteral("Plug device into USB and start update.");
