// The Win32 views on a real display: the main window's states, the worker's events through the
// window messages of the dispatcher, both dialogs answered by mouse and keyboard, and a
// screenshot of each.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "fakeworld.h"
#include "screenshot.h"
#include "testedwindows.h"
#include "win32ui/controlids.h"
#include "win32ui/exceptiondisplay.h"
#include "win32ui/mainwindow.h"
#include "win32ui/win32dispatcher.h"
#include "win32ui/windowdpi.h"
#include "windowlogic/enddialoglogic.h"
#include "windowprobe.h"

namespace {

using namespace veltrin::win32ui;
using veltrin::UpdateThreadOwner;

constexpr char kNoData[] = "No data found for update.\nPlease check your internet connection.";

class Win32ViewTest : public ::testing::Test {
protected:
    void Open() {
        window = std::make_unique<MainWindow>(world.Services());
        ASSERT_NE(window->Handle(), nullptr);
        window->Show(SW_SHOWNORMAL);
        main = window->Handle();
        script = std::make_unique<probe::DialogScript>(*window);
    }
    void TearDown() override {
        // A fake worker never ends by itself: end its run as the engine would, or the window's
        // close-down would wait for it forever.
        if (window && world.LastWorker() != nullptr && window->Logic().Params().ThreadRunning) {
            window->Logic().UpdateThreadEnded();
        }
    }
    void Tick(UINT timer) { SendMessageW(main, WM_TIMER, timer, 0); }
    // Runs the window until it closes itself (the end dialog's Exit Program).
    void RunUntilClosed() {
        RunMessageLoop();
        EXPECT_EQ(script->Unexpected(), 0);
    }

    FakeWorld world;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<probe::DialogScript> script;
    HWND main = nullptr;
};

struct StateCase {
    const char* name;
    int retries;  // download retries the timer makes after the start-up download
    std::deque<veltrin::UpdateData> downloads;
    bool progressView;
    const char* message;
    bool buttonEnabled;
    const char* buttonCaption;
    const char* versionQuorvan;
    const char* versionTarnovelle;
};

class Win32MainStateTest : public Win32ViewTest, public ::testing::WithParamInterface<StateCase> {};

TEST_P(Win32MainStateTest, ShowsTheState) {
    const StateCase& c = GetParam();
    world.Downloads = c.downloads;
    Open();
    for (int i = 0; i < c.retries; ++i) {
        Tick(kTimerDownloadIntelHex);
    }
    EXPECT_EQ(probe::Text(main), "Update Quorvan / Tarnovelle - Version 00.01.00");
    EXPECT_EQ(probe::Text(main, kGroupBoxFirmware), "Latest update version");
    EXPECT_EQ(probe::Text(main, kLabelQuorvanOtgName), "Quorvan/plus");
    EXPECT_EQ(probe::Text(main, kLabelTarnovelleK7Name), "Tarnovelle K7/K7x");
    EXPECT_EQ(probe::Text(main, kLabelQuorvanOtgVersion), c.versionQuorvan);
    EXPECT_EQ(probe::Text(main, kLabelTarnovelleK7Version), c.versionTarnovelle);
    EXPECT_EQ(probe::Shown(main, kGroupBoxThreadAction), c.progressView);
    EXPECT_EQ(probe::Shown(main, kProgressBarTotal), c.progressView);
    EXPECT_EQ(probe::Shown(main, kGroupBoxMessage), !c.progressView);
    EXPECT_EQ(probe::Shown(main, kLabelMessage), !c.progressView);
    if (!c.progressView) {
        EXPECT_EQ(probe::Text(main, kLabelMessage), c.message);
    } else {
        EXPECT_EQ(probe::Text(main, kGroupBoxThreadAction), "Firmware update ...");
    }
    EXPECT_EQ(probe::Enabled(main, kButtonStartStop), c.buttonEnabled);
    EXPECT_EQ(probe::Text(main, kButtonStartStop), c.buttonCaption);
    EXPECT_TRUE(SaveWindowScreenshot(main, std::string("main-") + c.name));
}

INSTANTIATE_TEST_SUITE_P(States, Win32MainStateTest,
                         ::testing::Values(StateCase{"nodata",
                                                     0,
                                                     {},
                                                     false,
                                                     kNoData,
                                                     false,
                                                     "Start Update",
                                                     "not available",
                                                     "not available"},
                                           StateCase{"ready",
                                                     1,
                                                     {{}, Data("Version 01.02.03", "")},
                                                     false,
                                                     "Plug device into USB and start update.",
                                                     true,
                                                     "Start Update",
                                                     "Version 01.02.03",
                                                     "not available"},
                                           StateCase{"updating",
                                                     0,
                                                     {Data("Version 01.02.03", "Version 02.00.01")},
                                                     true,
                                                     "",
                                                     true,
                                                     "Cancel",
                                                     "Version 01.02.03",
                                                     "Version 02.00.01"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Win32ViewTest, CancelAsksTheWorkerAndCloseIsRefusedDuringARun) {
    world.Downloads = {Data("Version 01.02.03", "")};
    Open();
    ASSERT_NE(world.LastWorker(), nullptr);
    probe::Click(main, kButtonStartStop);
    probe::Click(main, kButtonStartStop);
    PostMessageW(main, WM_CLOSE, 0, 0);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&message);
    }
    EXPECT_EQ(world.LastWorker()->TerminateCalls, 2);
    EXPECT_TRUE(IsWindow(main));
    EXPECT_EQ(probe::Text(main, kButtonStartStop), "Cancel");
}

TEST_F(Win32ViewTest, MovingToAMonitorOfAnotherDpiLaysTheWindowOutAnew) {
    Open();
    const auto widthOf = [this](int id) {
        RECT rect;
        GetWindowRect(GetDlgItem(main, id), &rect);
        return rect.right - rect.left;
    };
    const int dpi = static_cast<int>(WindowDpi(main));
    ASSERT_GT(dpi, 0);
    EXPECT_EQ(widthOf(kButtonStartStop), MulDiv(100, dpi, 96));
    // As Windows sends it when the window moves onto a 200 % monitor.
    RECT suggested{0, 0, 800, 640};
    tested::PlayMonitorDpi(192);
    SendMessageW(main, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(widthOf(kButtonStartStop), 200);
    EXPECT_EQ(widthOf(kProgressBarTotal), 640);
    EXPECT_EQ(widthOf(kLabelMessage), 2 * 304);
    tested::PlayMonitorDpi(0);
    SendMessageW(main, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(widthOf(kButtonStartStop), MulDiv(100, dpi, 96));
}

// How a person leaves the question, and what the worker hears.
struct QuestionCase {
    const char* name;
    std::function<void(HWND dialog)> leave;
    bool yes;
};

class Win32QuestionTest : public Win32ViewTest,
                          public ::testing::WithParamInterface<QuestionCase> {};

TEST_P(Win32QuestionTest, TheWorkerHearsTheAnswer) {
    const QuestionCase& c = GetParam();
    world.Downloads = {Data("Version 01.02.03", "")};
    bool answer = !c.yes;
    world.WorkerScript = [&answer](ScriptedWorker& worker) {
        worker.Value(&UpdateThreadOwner::ThreadSetTotalMax, 10);
        worker.Value(&UpdateThreadOwner::ThreadSetTotalPosition, 4);
        worker.Text(&UpdateThreadOwner::ThreadShowTitle, "  Update Quorvan/plus \r\n");
        worker.Text(&UpdateThreadOwner::ThreadShowAction, "Write firmware");
        worker.Value(&UpdateThreadOwner::ThreadSetActionMax, 200);
        worker.Value(&UpdateThreadOwner::ThreadSetActionPosition, 150);
        answer =
            worker.Ask("\n! Adjustments and other user data will be deleted.\n\nStart Update?");
        worker.ReportEnd(0, "Quorvan/plus Version 01.02.03");
    };
    Open();
    script->Then([&](HWND dialog) {
        // The worker waits for the answer; the window shows what it had sent before.
        EXPECT_FALSE(IsWindowEnabled(main));
        EXPECT_EQ(probe::Text(main, kGroupBoxThreadAction), "Update Quorvan/plus");
        EXPECT_EQ(probe::Text(main, kLabelAction), "Write firmware");
        EXPECT_EQ(probe::BarPosition(main, kProgressBarTotal), 4);
        EXPECT_EQ(probe::BarMaximum(main, kProgressBarTotal), 10);
        EXPECT_EQ(probe::BarPosition(main, kProgressBarAction), 150);
        EXPECT_EQ(probe::BarMaximum(main, kProgressBarAction), 200);
        EXPECT_EQ(probe::Text(dialog), "Confirmation");
        EXPECT_EQ(probe::Text(dialog, kQuestionLabel),
                  "! Adjustments and other user data will be deleted.\n\nStart Update?");
        EXPECT_EQ(probe::Text(dialog, kButtonYes), "Yes");
        EXPECT_EQ(probe::Text(dialog, kButtonNo), "No");
        if (std::string(c.name) == "YesButton") {
            EXPECT_TRUE(SaveWindowScreenshot(main, "main-progress"));
            EXPECT_TRUE(SaveWindowScreenshot(dialog, "question"));
        }
        c.leave(dialog);
    });
    script->Then([](HWND dialog) { probe::Click(dialog, kButtonExit); });
    RunUntilClosed();
    EXPECT_EQ(answer, c.yes);
    EXPECT_EQ(script->Shown(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, Win32QuestionTest,
    ::testing::Values(
        QuestionCase{"YesButton", [](HWND d) { probe::Click(d, kButtonYes); }, true},
        QuestionCase{"NoButton", [](HWND d) { probe::Click(d, kButtonNo); }, false},
        QuestionCase{"CloseBox", [](HWND d) { PostMessageW(d, WM_CLOSE, 0, 0); }, false},
        QuestionCase{"Escape", [](HWND) { probe::Key(GetFocus(), VK_ESCAPE); }, false},
        // The focus starts on No and Enter presses the focused button: no single key
        // confirms; Yes takes Tab first.
        QuestionCase{"Enter", [](HWND) { probe::Key(GetFocus(), VK_RETURN); }, false},
        QuestionCase{"Space", [](HWND) { probe::Key(GetFocus(), VK_SPACE); }, false},
        QuestionCase{"TabThenEnter",
                     [](HWND d) {
                         probe::Key(GetFocus(), VK_TAB);
                         probe::Key(GetDlgItem(d, kButtonYes), VK_RETURN);
                     },
                     true}),
    [](const auto& info) { return std::string(info.param.name); });

// What the end dialog shows for a run's outcome; it is left by Exit Program only after Escape
// and a close request have changed nothing.
struct EndCase {
    const char* name;
    bool cancel;  // the worker was asked to terminate
    int code;
    const char* caption;
    const char* status;
    const char* error;
    const char* hint;
    const char* startCaption;
};

class Win32EndDialogTest : public Win32ViewTest, public ::testing::WithParamInterface<EndCase> {};

TEST_P(Win32EndDialogTest, ShowsTheOutcome) {
    const EndCase& c = GetParam();
    world.Downloads = {Data("Version 01.02.03", "")};
    world.WorkerScript = [&c](ScriptedWorker& worker) {
        if (c.cancel) {
            worker.Terminate();
        }
        worker.ReportEnd(c.code, c.code == 0 ? "Quorvan/plus Version 01.02.03" : "");
    };
    Open();
    script->Then([&](HWND dialog) {
        EXPECT_EQ(probe::Text(dialog), c.caption);
        EXPECT_EQ(probe::Text(dialog, kLabelStatus), c.status);
        EXPECT_EQ(probe::Text(dialog, kLabelErrorText), c.error);
        EXPECT_EQ(probe::Text(dialog, kLabelMessageStart), c.hint);
        EXPECT_EQ(probe::Text(dialog, kButtonStart), c.startCaption);
        EXPECT_EQ(probe::Text(dialog, kButtonExit), "Exit Program");
        EXPECT_EQ(GetWindowLongPtrW(dialog, GWL_STYLE) & WS_SYSMENU, 0) << "no close box";
        EXPECT_TRUE(SaveWindowScreenshot(dialog, std::string("end-") + c.name));
        probe::Key(GetDlgItem(dialog, kButtonStart), VK_ESCAPE);
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        probe::Click(dialog, kButtonExit);
    });
    RunUntilClosed();
    EXPECT_EQ(window->Logic().Params().NextAction, veltrin::EndDialogLogic::kResultExit);
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, Win32EndDialogTest,
    ::testing::Values(
        EndCase{"success", false, 0, "Update finished", "Update successful", "",
                "Quorvan/plus Version 01.02.03 has been installed.\nUnplug the device.\n\nFor "
                "updating next device plug it into the USB port\nand start update.",
                "Update next device"},
        EndCase{"error", false, 14, "Update terminated",
                "The update was terminated prematurely due to an error", "Exceptional error! (#14)",
                "Restart update or unplug the device.", "Restart Update"},
        EndCase{"cancelled", true, 14, "Update terminated", "The update was ended by the user", "",
                "Restart update or unplug the device.", "Restart Update"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Win32ViewTest, UpdateNextDeviceStartsTheNextRun) {
    world.Downloads = {Data("Version 01.02.03", "")};
    world.WorkerScript = [](ScriptedWorker& worker) { worker.ReportEnd(2, ""); };
    Open();
    script->Then([](HWND dialog) { probe::Key(GetDlgItem(dialog, kButtonStart), VK_RETURN); });
    script->Then([](HWND dialog) { probe::Click(dialog, kButtonExit); });
    RunUntilClosed();
    EXPECT_EQ(world.StartCalls, 2);
}

// Another program on the desktop can post the dispatcher's message with anything in it.
TEST_F(Win32ViewTest, ForgedWakeUpMessagesDoNothing) {
    world.Downloads = {Data("Version 01.02.03", "")};
    bool answer = false;
    world.WorkerScript = [&answer](ScriptedWorker& worker) {
        worker.Value(&UpdateThreadOwner::ThreadSetTotalMax, 10);
        answer = worker.Ask("Start Update?");
        worker.ReportEnd(0, "Quorvan/plus Version 01.02.03");
    };
    const auto forge = [this] {
        for (const LPARAM lParam : {LPARAM{0}, LPARAM{1}, LPARAM{-1}, LPARAM{0x7fff0010}}) {
            for (UINT message = WM_APP; message <= WM_APP + 3; ++message) {
                PostMessageW(main, message, static_cast<WPARAM>(lParam), lParam);
            }
        }
    };
    Open();
    forge();
    script->Then([&](HWND dialog) {
        forge();
        probe::Click(dialog, kButtonYes);
    });
    script->Then([&](HWND dialog) {
        forge();
        probe::Click(dialog, kButtonExit);
    });
    RunUntilClosed();
    EXPECT_TRUE(answer);
    EXPECT_EQ(script->Shown(), 2);
    EXPECT_EQ(world.StartCalls, 1);
}

// The window goes away (program end, a session logging off) while the worker still runs: its
// late events are served without asking anyone, and nothing follows the run.
TEST_F(Win32ViewTest, AWindowTornDownDuringARunAnswersLateEventsWithNo) {
    world.Downloads = {Data("Version 01.02.03", "")};
    std::promise<void> closing;
    std::shared_future<void> closingBegan = closing.get_future().share();
    bool answer = true;
    bool terminated = false;
    world.WorkerScript = [&, closingBegan](ScriptedWorker& worker) {
        closingBegan.wait();
        answer = worker.Ask("! Adjustments and other user data will be deleted.\n\nStart Update?");
        terminated = worker.Terminated();
        worker.ReportEnd(0, "Quorvan/plus Version 01.02.03");
    };
    Open();
    ASSERT_TRUE(window->Logic().Params().ThreadRunning);
    closing.set_value();
    window.reset();
    EXPECT_FALSE(answer);
    EXPECT_TRUE(terminated);
    EXPECT_EQ(script->Shown(), 0);
    EXPECT_EQ(world.StartCalls, 1);
    EXPECT_FALSE(IsWindow(main));
}

// A download that throws found nothing: no error box every second, and the retry goes on.
TEST_F(Win32ViewTest, ADownloadThatThrowsLeavesTheRetryGoing) {
    std::vector<std::string> shown;
    SetExceptionDisplay([&shown](const std::string& what) { shown.push_back(what); });
    Open();  // no data: the retry timer runs
    world.DuringDownload = [] { throw std::runtime_error("the server went away"); };
    Tick(kTimerDownloadIntelHex);
    EXPECT_TRUE(IsWindow(main));
    EXPECT_EQ(probe::Text(main, kLabelMessage), kNoData);
    world.DuringDownload = nullptr;
    world.Downloads = {Data("Version 01.02.03", "")};
    Tick(kTimerDownloadIntelHex);
    SetExceptionDisplay({});
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(world.DownloadCalls, 3);
    EXPECT_TRUE(probe::Enabled(main, kButtonStartStop));
}

// A wake-up that cannot be posted (here: the window is gone) loses no worker event; the UI
// thread finds them in the queue all the same, in order.
TEST(Win32DispatcherTest, NoEventIsLostWhenTheWakeUpCannotBePosted) {
    HWND gone =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(gone, nullptr);
    DestroyWindow(gone);
    Win32Dispatcher dispatcher;
    dispatcher.Attach(gone);
    std::vector<int> ran;
    std::thread worker([&] {
        for (int i = 0; i < 5; ++i) {
            dispatcher.RunAndWait([&ran, i] { ran.push_back(i); });
        }
        dispatcher.Post([&ran] { ran.push_back(99); });
    });
    // Bounded, so that a lost event fails the test instead of hanging it.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (ran.size() < 6 && std::chrono::steady_clock::now() < deadline) {
        dispatcher.WaitAndDrain(50);
    }
    worker.join();
    EXPECT_EQ(ran, (std::vector<int>{0, 1, 2, 3, 4, 99}));
}

}  // namespace

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    tested::PlayTestedWindows();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
