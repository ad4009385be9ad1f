// The main window's decisions without any toolkit: states, timers, start/stop, the close
// refusal and the worker's events, against a view that only records what it is told.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <system_error>

#include "fakeworld.h"
#include "parfile.h"
#include "recordingview.h"
#include "records/variantrecords.h"
#include "windowlogic/mainwindowlogic.h"

using namespace veltrin;

namespace {

const std::string kNoData = "No data found for update.\nPlease check your internet connection.";
const std::string kReady = "Plug device into USB and start update.";

class MainWindowLogicTest : public ::testing::Test {
public:
    void Open() {
        logic = std::make_unique<MainWindowLogic>(view, dispatcher, world.Services());
        view.onClose = [this] { closed = logic->FormClose(); };
        logic->Open();
    }
    // With update data at hand the window opens into its first run.
    void OpenUpdating() {
        world.Downloads = {Data("Version 01.02.03", "")};
        Open();
    }
    // The engine's last steps: the end report, answered with choice, then the end notification.
    void EndRun(bool terminated, int code, int choice) {
        view.endChoices.push_back(choice);
        TSThreadParams params;
        params.ResultCode = code;
        logic->ThreadReportEnd(params, terminated);
        logic->UpdateThreadEnded();
    }
    void Send(void (MainWindowLogic::*handler)(TSThreadParams&), int value) {
        params.EventValue = value;
        (logic.get()->*handler)(params);
    }

    FakeWorld world;
    RecordingView view;
    UnusedDispatcher dispatcher;
    std::unique_ptr<MainWindowLogic> logic;
    TSThreadParams params;
    bool closed = false;
};

// What the user does after the window opened.
enum class Then { Nothing, Retry, CancelTwice, EndWithNextDevice, EndWithExit };

struct StateCase {
    const char* name;
    std::vector<UpdateData> downloads;
    bool refuseWorkers;
    Then then;
    // What the user then sees; message is empty while the progress view is shown.
    std::string message;
    std::string button;
    bool enabled;
    bool retrying;
    int starts;
};

class MainWindowStateTest : public MainWindowLogicTest,
                            public ::testing::WithParamInterface<StateCase> {};

TEST_P(MainWindowStateTest, ShowsTheState) {
    const StateCase& c = GetParam();
    world.Downloads.assign(c.downloads.begin(), c.downloads.end());
    world.RefuseWorkers = c.refuseWorkers;
    Open();
    switch (c.then) {
        case Then::Nothing:
            break;
        case Then::Retry:
            logic->Timer_DownloadIntelHexTimer();
            break;
        case Then::CancelTwice:
            logic->Button_StartStopClick();
            logic->Button_StartStopClick();
            EXPECT_EQ(world.LastWorker()->TerminateCalls, 2);
            break;
        case Then::EndWithNextDevice:
            EndRun(false, 0, 1);
            break;
        case Then::EndWithExit:
            EndRun(true, 14, 2);
            break;
    }
    EXPECT_EQ(view.progressView ? "" : view.Text(MainText::Message), c.message);
    EXPECT_EQ(view.Text(MainText::StartStopCaption), c.button);
    EXPECT_EQ(view.startStopEnabled, c.enabled);
    EXPECT_EQ(logic->StartStopEnabled(), c.enabled);
    EXPECT_EQ(view.Running(MainTimer::DownloadIntelHex), c.retrying);
    EXPECT_EQ(world.StartCalls, c.starts);
}

const UpdateData kQuorvan = Data("Version 01.02.03", "");
const UpdateData kUnchecked = [] {  // both firmware texts, neither passed its check
    UpdateData data;
    data.HexQuorvanOtg = data.HexTarnovelleK7 = ":00000001FF\n";
    return data;
}();

// clang-format off
INSTANTIATE_TEST_SUITE_P(States, MainWindowStateTest, ::testing::Values(
    StateCase{"DataAtStartUpdatesAtOnce", {kQuorvan}, false, Then::Nothing,
              "", "Cancel", true, false, 1},
    StateCase{"NoData", {}, false, Then::Nothing, kNoData, "Start Update", false, true, 0},
    StateCase{"RetryFindsNothingAgain", {}, false, Then::Retry,
              kNoData, "Start Update", false, true, 0},
    StateCase{"RetryFindsDataButStartsNothing", {Data("", ""), Data("", " Version 02.00.07\n")},
              false, Then::Retry, kReady, "Start Update", true, false, 0},
    // Both firmware files at hand, neither usable: no retry, at start-up or after one.
    StateCase{"BothTextsUncheckedNoRetry", {kUnchecked}, false, Then::Nothing,
              kNoData, "Start Update", false, false, 0},
    StateCase{"RetryBringsBothUncheckedNoFurtherRetry", {Data("", ""), kUnchecked}, false,
              Then::Retry, kNoData, "Start Update", false, false, 0},
    StateCase{"NoWorkerNoRun", {kQuorvan}, true, Then::Nothing,
              kReady, "Start Update", true, false, 1},
    StateCase{"CancelTwiceKeepsCancel", {kQuorvan}, false, Then::CancelTwice,
              "", "Cancel", true, false, 1},
    StateCase{"EndingWithNextDevice", {kQuorvan}, false, Then::EndWithNextDevice,
              "Start Update.", "Start Update", false, false, 1},
    StateCase{"EndingWithExit", {kQuorvan}, false, Then::EndWithExit,
              "Exit program.", "Start Update", false, false, 1}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(MainWindowLogicTest, AWorkerThatCannotStartIsNoRun) {
    world.StartInstead = [](UpdateThreadOwner&, Dispatcher&) -> ClTread* {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    };
    OpenUpdating();
    logic->Button_StartStopClick();  // a later click fails the same way, harmlessly
    EXPECT_EQ(world.StartCalls, 2);
    EXPECT_FALSE(logic->Params().ThreadRunning);
    EXPECT_FALSE(view.progressView);
    EXPECT_EQ(view.Text(MainText::Message), kReady);
    EXPECT_EQ(view.Text(MainText::StartStopCaption), "Start Update");
}

TEST_F(MainWindowLogicTest, OpensWithItsTextsAndShowsTheDownloadAsItRuns) {
    OpenUpdating();
    EXPECT_EQ(view.Text(MainText::WindowCaption), "Update Quorvan / Tarnovelle - Version 00.01.00");
    EXPECT_EQ(view.Text(MainText::FirmwareBoxCaption), "Latest update version");
    EXPECT_EQ(view.Text(MainText::QuorvanOtgName), "Quorvan/plus");
    EXPECT_EQ(view.Text(MainText::TarnovelleK7Name), "Tarnovelle K7/K7x");
    EXPECT_EQ(view.Text(MainText::QuorvanOtgVersion), "Version 01.02.03");
    EXPECT_EQ(view.Text(MainText::TarnovelleK7Version), "not available");
    // The download blocks the loop: each state is painted as it is set.
    EXPECT_EQ(view.painted, (std::vector<std::string>{"loading ... | not available",
                                                      "loading ... | loading ..."}));
    EXPECT_EQ(view.Text(MainText::ThreadActionCaption), "Firmware update ...");
    EXPECT_EQ(view.Text(MainText::Action), "");
    EXPECT_EQ(view.bars[MainBar::Total], (RecordingView::Bar{100, 0}));
    EXPECT_EQ(view.bars[MainBar::Action], (RecordingView::Bar{100, 0}));
}

TEST_F(MainWindowLogicTest, ProgressStaysInsideTheRange) {
    OpenUpdating();
    const struct {
        void (MainWindowLogic::*handler)(TSThreadParams&);
        int value;
        MainBar bar;
        RecordingView::Bar shown;
    } steps[] = {
        {&MainWindowLogic::ThreadSetTotalMax, 200, MainBar::Total, {200, 0}},
        {&MainWindowLogic::ThreadSetTotalPosition, 150, MainBar::Total, {200, 150}},
        {&MainWindowLogic::ThreadStepTotal, 30, MainBar::Total, {200, 180}},
        {&MainWindowLogic::ThreadStepTotal, 50, MainBar::Total, {200, 200}},
        {&MainWindowLogic::ThreadSetTotalMax, 120, MainBar::Total, {120, 120}},
        {&MainWindowLogic::ThreadStepTotal, INT32_MAX, MainBar::Total, {120, 120}},
        {&MainWindowLogic::ThreadStepTotal, INT32_MIN, MainBar::Total, {120, 0}},
        {&MainWindowLogic::ThreadSetActionMax, 1048576, MainBar::Action, {1048576, 0}},
        {&MainWindowLogic::ThreadSetActionPosition, 4096, MainBar::Action, {1048576, 4096}},
        {&MainWindowLogic::ThreadSetActionPosition, -5, MainBar::Action, {1048576, 0}},
        {&MainWindowLogic::ThreadSetActionMax, -1, MainBar::Action, {0, 0}},
    };
    for (const auto& step : steps) {
        Send(step.handler, step.value);
        EXPECT_EQ(view.bars[step.bar], step.shown) << step.value;
    }
    // A new run starts both bars afresh.
    EndRun(false, 0, 1);
    logic->Timer_NextActionTimer();
    EXPECT_EQ(view.bars[MainBar::Action], (RecordingView::Bar{100, 0}));
}

TEST_F(MainWindowLogicTest, NextActionWaitsForTheRunThenStartsOrCloses) {
    OpenUpdating();
    EndRun(false, 0, 1);
    EXPECT_EQ(view.running.at(MainTimer::NextAction), MainWindowLogic::kNextActionMs);
    logic->Timer_NextActionTimer();
    EXPECT_EQ(world.StartCalls, 2);
    EXPECT_FALSE(view.Running(MainTimer::NextAction));
    // While that run is active the tick changes nothing and the timer keeps running.
    view.running[MainTimer::NextAction] = MainWindowLogic::kNextActionMs;
    logic->Timer_NextActionTimer();
    EXPECT_TRUE(view.Running(MainTimer::NextAction));
    EXPECT_EQ(world.StartCalls, 2);

    // Closing during a run is refused without a word; after "Exit Program" it closes itself.
    EXPECT_FALSE(logic->FormClose());
    EndRun(false, 2, 2);
    EXPECT_EQ(logic->Params().NextAction, NEXT_ACTION_EXIT);
    logic->Timer_NextActionTimer();
    EXPECT_EQ(view.closeCalls, 1);
    EXPECT_TRUE(closed);
    EXPECT_TRUE(view.running.empty());
    EXPECT_EQ(world.StartCalls, 2);
}

// A toolkit may deliver a tick that was queued before its timer was stopped.
TEST_F(MainWindowLogicTest, ATickOfAStoppedTimerDoesNothing) {
    world.Downloads = {Data("", ""), kQuorvan, kQuorvan};
    Open();
    logic->Timer_DownloadIntelHexTimer();  // finds data: Start enabled, the timer stops
    logic->Button_StartStopClick();
    ASSERT_TRUE(logic->Params().ThreadRunning);
    logic->Timer_DownloadIntelHexTimer();  // mid-run: no download, Cancel stays
    EXPECT_EQ(world.DownloadCalls, 2);
    EXPECT_TRUE(view.progressView);
    EXPECT_EQ(view.Text(MainText::StartStopCaption), "Cancel");
    EXPECT_TRUE(view.startStopEnabled);

    EndRun(false, 0, 2);
    logic->Timer_NextActionTimer();  // closes the window
    logic->Timer_NextActionTimer();  // a second tick, queued before the stop
    EXPECT_EQ(view.closeCalls, 1);
    EXPECT_EQ(world.StartCalls, 1);
}

TEST_F(MainWindowLogicTest, DialogsOpenBesideTheWindowAndCarryTheAnswers) {
    OpenUpdating();
    view.answers = {true, false};
    params.EventText = "Start Update?\n";
    for (const int expected : {1, 0}) {
        params.EventAnswer = static_cast<std::uint8_t>(1 - expected);
        logic->ThreadAskYesNo(params);
        EXPECT_EQ(params.EventAnswer, expected);
    }
    ASSERT_EQ(view.questions.size(), 2u);
    EXPECT_EQ(view.questions[0].text, "Start Update?\n");
    EXPECT_EQ(view.questions[0].offset, kQuestionDialogOffset);

    params.ResultCode = 14;
    params.EventText = "end";
    view.endChoices = {1, 0};
    logic->ThreadReportEnd(params, true);
    EXPECT_EQ(logic->Params().NextAction, NEXT_ACTION_START);
    // A dialog that yields neither choice chose nothing: the last choice does not stand.
    logic->ThreadReportEnd(params, true);
    EXPECT_EQ(logic->Params().NextAction, NEXT_ACTION_NONE);
    ASSERT_EQ(view.ends.size(), 2u);
    EXPECT_TRUE(view.ends[0].terminated);
    EXPECT_EQ(view.ends[0].code, 14);
    EXPECT_EQ(view.ends[0].text, "end");
    EXPECT_EQ(view.ends[0].offset, kEndDialogOffset);
}

TEST_F(MainWindowLogicTest, ClosingDownDuringARunEndsItWithoutAskingTheUser) {
    OpenUpdating();
    view.answers = {true};
    int served = 0;
    logic->CloseDown([&] {
        // The worker, stopped by the window, asks once more and then ends.
        ASSERT_TRUE(world.LastWorker()->Terminated());
        params.EventAnswer = 1;
        logic->ThreadAskYesNo(params);
        logic->ThreadReportEnd(params, true);
        logic->UpdateThreadEnded();
        ++served;
    });
    EXPECT_EQ(served, 1);
    EXPECT_EQ(params.EventAnswer, 0);
    EXPECT_TRUE(view.questions.empty());
    EXPECT_TRUE(view.ends.empty());
    EXPECT_EQ(world.JoinCalls, 1);
    EXPECT_TRUE(view.running.empty());
}

TEST_F(MainWindowLogicTest, FetchAndLookupAnswerFromTheDownload) {
    TSClQuorvanVariants_ParamRecord variant;
    std::memset(&variant, 0x11, sizeof variant);
    variant.VariantId = 0x0110;
    world.Downloads = {Data(" Version 01.02.03\r\n", "")};
    world.LoadVariants = [&](ClQuorvanVariants& variants) {
        const std::vector<std::uint8_t> par = MakeParFile({variant});
        MemoryByteSource source(par.data(), par.size());
        ASSERT_EQ(variants.Load(source), 0);
    };
    Open();
    params.VersionTarnovelleK7 = "stale";
    logic->ThreadFetchParams(params);
    EXPECT_EQ(params.VersionQuorvanOtg, " Version 01.02.03\r\n");  // untrimmed
    EXPECT_EQ(params.VersionTarnovelleK7, "");

    const ConfigRecordImage config = MakeConfigRecord(variant);
    for (const std::int32_t id : {0x0110, 0x0330}) {
        std::memset(params.DeviceParamsA, 0xAA, sizeof params.DeviceParamsA);
        std::memset(params.DeviceParamsB, 0xAA, sizeof params.DeviceParamsB);
        params.VariantId = id;
        logic->ThreadLookupVariant(params);
        const bool found = id == 0x0110;
        EXPECT_EQ(params.EventAnswer, found ? 1 : 0);
        EXPECT_EQ(std::memcmp(params.DeviceParamsA, config.data(), config.size()) == 0, found);
        // An unknown id never leaves an earlier lookup's bytes behind.
        if (!found) {
            EXPECT_TRUE(std::all_of(std::begin(params.DeviceParamsB),
                                    std::end(params.DeviceParamsB),
                                    [](std::uint8_t byte) { return byte == 0; }));
        }
    }
}

}  // namespace
