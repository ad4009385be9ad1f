// One unusual event at an awkward moment must never leave the main window stuck: each case
// fails the window at one point and then checks that the user can go on.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>

#include "fakeworld.h"
#include "recordingview.h"
#include "windowlogic/mainwindowlogic.h"

using namespace veltrin;

namespace {

const std::string kNoData = "No data found for update.\nPlease check your internet connection.";
const std::string kReady = "Plug device into USB and start update.";

struct Window {
    FakeWorld world;
    RecordingView view;
    UnusedDispatcher dispatcher;
    std::unique_ptr<MainWindowLogic> logic;

    void Open(std::deque<UpdateData> downloads) {
        world.Downloads = std::move(downloads);
        logic = std::make_unique<MainWindowLogic>(view, dispatcher, world.Services());
        logic->Open();
    }
    void EndRun(int choice) {
        view.endChoices.push_back(choice);
        TSThreadParams params;
        logic->ThreadReportEnd(params, false);
        logic->UpdateThreadEnded();
    }
    void TickNextAction() {
        if (view.Running(MainTimer::NextAction)) {
            logic->Timer_NextActionTimer();
        }
    }
};

const UpdateData kQuorvan = Data("Version 01.02.03", "");

struct RecoveryCase {
    const char* name;
    std::function<void(Window&)> fault;  // the window starts in its first run
    std::string message;                 // what the user sees afterwards
    bool enabled;
    int starts;  // workers started, all told
};

class MainWindowRecoveryTest : public ::testing::TestWithParam<RecoveryCase> {};

TEST_P(MainWindowRecoveryTest, TheUserCanGoOn) {
    const RecoveryCase& c = GetParam();
    Window w;
    w.Open({kQuorvan});
    ASSERT_TRUE(w.logic->Params().ThreadRunning);
    c.fault(w);
    EXPECT_FALSE(w.logic->Params().ThreadRunning);
    EXPECT_EQ(w.view.Text(MainText::Message), c.message);
    EXPECT_EQ(w.view.startStopEnabled, c.enabled);
    EXPECT_EQ(w.world.StartCalls, c.starts);
    // Idle again: the window closes on request.
    EXPECT_TRUE(w.logic->FormClose());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Faults, MainWindowRecoveryTest, ::testing::Values(
    RecoveryCase{"IdleViewThrowsAtTheRunsEnd", [](Window& w) {
        w.view.endChoices.push_back(NEXT_ACTION_START);
        TSThreadParams params;
        w.logic->ThreadReportEnd(params, false);
        w.view.beforeSetText = [](MainText text) {
            if (text == MainText::Message) throw std::runtime_error("paint failed");
        };
        EXPECT_THROW(w.logic->UpdateThreadEnded(), std::runtime_error);
        w.view.beforeSetText = nullptr;
        // The next run still follows, and ends normally.
        w.TickNextAction();
        EXPECT_TRUE(w.logic->Params().ThreadRunning);
        w.EndRun(NEXT_ACTION_EXIT);
    }, "Exit program.", false, 2},
    RecoveryCase{"NextRunCannotStart", [](Window& w) {
        w.EndRun(NEXT_ACTION_START);
        w.world.RefuseWorkers = true;
        w.TickNextAction();
        EXPECT_EQ(w.logic->Params().NextAction, NEXT_ACTION_NONE);
        // Nothing more happens by itself.
        w.TickNextAction();
        EXPECT_FALSE(w.view.Running(MainTimer::NextAction));
    }, kReady, true, 2},
    RecoveryCase{"NextRunCannotStartThenTheUserRetries", [](Window& w) {
        w.EndRun(NEXT_ACTION_START);
        w.world.RefuseWorkers = true;
        w.TickNextAction();
        w.world.RefuseWorkers = false;
        w.logic->Button_StartStopClick();
        EXPECT_TRUE(w.logic->Params().ThreadRunning);
        w.EndRun(NEXT_ACTION_EXIT);
    }, "Exit program.", false, 3},
    RecoveryCase{"EndDialogLeftWithoutAnAnswer", [](Window& w) {
        w.EndRun(NEXT_ACTION_START);
        w.TickNextAction();
        w.EndRun(0);  // a quit message ended the dialog's loop
        w.TickNextAction();
        EXPECT_EQ(w.logic->Params().NextAction, NEXT_ACTION_NONE);
    }, kReady, true, 2},
    RecoveryCase{"ClicksWhileTheButtonIsDisabled", [](Window& w) {
        w.EndRun(NEXT_ACTION_EXIT);
        ASSERT_FALSE(w.view.startStopEnabled);
        w.logic->Button_StartStopClick();
        w.logic->Button_StartStopClick();
    }, "Exit program.", false, 1}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(MainWindowDownloadRecoveryTest, ADownloadThatThrowsIsRetried) {
    Window w;
    int throwsLeft = 2;  // at start-up and at the first retry
    w.world.DuringDownload = [&] {
        if (throwsLeft-- > 0) {
            throw std::runtime_error("connection reset");
        }
    };
    w.world.Downloads = {kQuorvan};
    w.logic = std::make_unique<MainWindowLogic>(w.view, w.dispatcher, w.world.Services());
    w.logic->Open();
    for (int tick = 0; tick < 2; ++tick) {
        ASSERT_TRUE(w.view.Running(MainTimer::DownloadIntelHex)) << tick;
        EXPECT_EQ(w.view.Text(MainText::Message), kNoData);
        EXPECT_EQ(w.view.Text(MainText::QuorvanOtgVersion), "not available");
        w.logic->Timer_DownloadIntelHexTimer();
    }
    EXPECT_EQ(w.view.Text(MainText::Message), kReady);
    EXPECT_TRUE(w.view.startStopEnabled);
    EXPECT_FALSE(w.view.Running(MainTimer::DownloadIntelHex));
    EXPECT_EQ(w.world.DownloadCalls, 3);
    EXPECT_EQ(w.world.StartCalls, 0);
}

// A click on a disabled button is no click, before any data and after the retry found it.
TEST(MainWindowDownloadRecoveryTest, ADisabledStartStartsNothing) {
    Window w;
    w.Open({});
    w.logic->Button_StartStopClick();
    EXPECT_EQ(w.world.StartCalls, 0);
    EXPECT_EQ(w.view.Text(MainText::Message), kNoData);
}

}  // namespace
