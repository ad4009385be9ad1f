// Whole updates through the Win32 window: the update folder published by the harness (file://),
// the simulated pipette behind a Wine COM port, the real worker. Every question is answered
// through the dialog's buttons; the progress bars are watched through the messages they get.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

#include "screenshot.h"
#include "testedwindows.h"
#include "win32ui/controlids.h"
#include "win32ui/mainwindow.h"
#include "windowlogic/updateservices.h"
#include "windowprobe.h"
#include "wiring/realtransports.h"

namespace {

using namespace veltrin::win32ui;

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// What a progress bar was told during the run.
struct BarWatch {
    int maximumPosition = 0;
    int changes = 0;
    // A picture of this window once the bar is past half its range for the first time.
    HWND photographed = nullptr;
    const char* shotName = nullptr;
};

LRESULT CALLBACK WatchBar(HWND bar, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                          DWORD_PTR data) {
    if (message == PBM_SETPOS) {
        auto* watch = reinterpret_cast<BarWatch*>(data);
        const int position = static_cast<int>(wParam);
        if (position != static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0))) {
            ++watch->changes;
        }
        watch->maximumPosition = std::max(watch->maximumPosition, position);
        const int maximum = static_cast<int>(SendMessageW(bar, PBM_GETRANGE, FALSE, 0));
        if (watch->shotName != nullptr && maximum > 0 && 2 * position >= maximum) {
            const LRESULT result = DefSubclassProc(bar, message, wParam, lParam);
            EXPECT_TRUE(SaveWindowScreenshot(watch->photographed, watch->shotName));
            watch->shotName = nullptr;
            return result;
        }
    }
    return DefSubclassProc(bar, message, wParam, lParam);
}

class Win32WholeRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string server = Env("VELTRIN_TEST_SERVER");
        const std::string port = Env("VELTRIN_TEST_COM_PORT");
        if (server.empty() || port.empty()) {
            GTEST_SKIP() << "run by the COM port harness (VELTRIN_TEST_SERVER, "
                            "VELTRIN_TEST_COM_PORT)";
        }
        veltrin::UpdateThreadSettings settings;
        settings.MakeCommandSet = veltrin::MakeRealCommandSet;
        settings.OverridePorts = true;
        settings.Ports = {port};
        veltrin::MainWindowServices services = veltrin::UpdateServices(server, {}, settings);
        // The harness reads the run's record when the process may not live to say more.
        services.HistoryFile = Env("VELTRIN_TEST_HISTORY");
        window = std::make_unique<MainWindow>(std::move(services));
        ASSERT_NE(window->Handle(), nullptr);
        main = window->Handle();
        SetWindowSubclass(GetDlgItem(main, kProgressBarTotal), &WatchBar, 1,
                          reinterpret_cast<DWORD_PTR>(&total));
        SetWindowSubclass(GetDlgItem(main, kProgressBarAction), &WatchBar, 1,
                          reinterpret_cast<DWORD_PTR>(&action));
        window->Show(SW_SHOWNORMAL);
        window->SetDialogShownHook([this](HWND dialog) { OnDialog(dialog); });
    }

    // Questions get Yes (and, when cancelling, a click on Cancel right after); the end dialog
    // is read, photographed and left with Exit Program, which closes the window.
    void OnDialog(HWND dialog) {
        wchar_t className[64] = {};
        GetClassNameW(dialog, className, 64);
        if (std::wstring(className) == kQuestionDialogClass) {
            if (questions++ == 0) {
                EXPECT_TRUE(SaveWindowScreenshot(main, shotPrefix + "-question-open"));
            }
            probe::Click(dialog, kButtonYes);
            if (cancel) {
                // Queued behind the Yes: pressed once the question has closed and the window
                // is enabled again, as a person would.
                probe::Click(main, kButtonStartStop);
            }
            return;
        }
        endCaption = probe::Text(dialog);
        endStatus = probe::Text(dialog, kLabelStatus);
        endHint = probe::Text(dialog, kLabelMessageStart);
        EXPECT_TRUE(SaveWindowScreenshot(dialog, shotPrefix + "-end"));
        EXPECT_TRUE(SaveWindowScreenshot(main, shotPrefix + "-main-after-run"));
        probe::Click(dialog, kButtonExit);
    }

    void Run() {
        RunMessageLoop();
        window.reset();
    }

    std::unique_ptr<MainWindow> window;
    HWND main = nullptr;
    BarWatch total;
    BarWatch action;
    int questions = 0;
    bool cancel = false;
    std::string shotPrefix = "wholerun";
    std::string endCaption, endStatus, endHint;
};

TEST_F(Win32WholeRunTest, UpdatesThePipette) {
    action.photographed = main;
    action.shotName = "wholerun-main-upload";
    Run();
    EXPECT_GE(questions, 1);
    EXPECT_GT(total.changes, 1);
    EXPECT_GT(action.changes, 1);
    EXPECT_GT(total.maximumPosition, 0);
    EXPECT_GT(action.maximumPosition, 0);
    EXPECT_EQ(endCaption, "Update finished");
    EXPECT_EQ(endStatus, "Update successful");
    EXPECT_NE(endHint.find(" has been installed.\nUnplug the device."), std::string::npos)
        << endHint;
    std::printf("questions answered: %d, total bar changes: %d, action bar changes: %d\n",
                questions, total.changes, action.changes);
}

TEST_F(Win32WholeRunTest, CancelEndsTheRunAsTheUsersChoice) {
    cancel = true;
    shotPrefix = "cancelled";
    Run();
    EXPECT_GE(questions, 1);
    EXPECT_EQ(endCaption, "Update terminated");
    EXPECT_EQ(endStatus, "The update was ended by the user");
}

// The harness ends the session in the middle of the run, Windows-style, and then the process:
// what counts is the record the window wrote before that, which the harness reads.
TEST_F(Win32WholeRunTest, RunUntilTheSessionEnds) {
    Run();
    ADD_FAILURE() << "the run ended without the session's end: " << endStatus;
}

}  // namespace

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    tested::PlayTestedWindows();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
