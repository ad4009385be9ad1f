#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "engine/updateresult.h"
#include "recordingowner.h"
#include "threaddispatcher.h"
#include "wiring/realtransports.h"
#include "workerrun.h"

namespace veltrin {
namespace {

using testing_support::EventKind;
using testing_support::RecordingOwner;
using testing_support::ThreadDispatcher;

UpdateThreadSettings NoPorts() {
    UpdateThreadSettings settings;
    settings.MakeCommandSet = MakeRealCommandSet;
    settings.OverridePorts = true;
    settings.TraceFileName = "";
    return settings;
}

TEST(ClThreadFrameTest, EveryHandlerRunsOnTheOwnersThreadAndTheRunEndsOnce) {
    ThreadDispatcher dispatcher;
    RecordingOwner owner;
    testing_support::RunWorkerToEnd(owner, dispatcher, NoPorts());

    const auto events = owner.Events();
    ASSERT_FALSE(events.empty());
    for (const auto& event : events) {
        EXPECT_EQ(event.Thread, dispatcher.LoopThreadId());
        EXPECT_NE(event.Thread, std::this_thread::get_id());
    }
    EXPECT_EQ(events.front().Kind, EventKind::FetchParams);
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[events.size() - 2].Kind, EventKind::ReportEnd);
    EXPECT_EQ(events.back().Kind, EventKind::Ended);
    EXPECT_EQ(owner.Values(EventKind::ReportEnd), std::vector<std::int32_t>{kUpdateNoDevice});
    EXPECT_EQ(owner.Texts(EventKind::ReportEnd), std::vector<std::string>{""});
    EXPECT_FALSE(owner.Last(EventKind::ReportEnd)->Terminated);
    // No ports: the action bar gets a maximum of 0 and nothing is probed.
    EXPECT_EQ(owner.Values(EventKind::SetActionMax), std::vector<std::int32_t>{0});
    EXPECT_EQ(owner.Values(EventKind::SetTotalMax), std::vector<std::int32_t>{100});
    EXPECT_EQ(owner.Values(EventKind::SetTotalPosition), (std::vector<std::int32_t>{0, 1}));
}

TEST(ClThreadFrameTest, WorkerWaitsInsideAHandlerUntilItReturns) {
    ThreadDispatcher dispatcher;
    RecordingOwner owner;
    std::mutex mutex;
    std::condition_variable changed;
    bool entered = false;
    bool released = false;
    owner.OnEvent = [&](const testing_support::RecordedEvent& event) {
        if (event.Kind != EventKind::ShowAction)
            return;
        std::unique_lock<std::mutex> lock(mutex);
        entered = true;
        changed.notify_all();
        changed.wait(lock, [&] { return released; });
    };
    dispatcher.Hold();
    owner.Worker = ClTread::Start(owner, dispatcher, NoPorts());
    dispatcher.Release();
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return entered; });
    }
    // The handler is still running: a worker that went on would queue its next event.
    const auto recorded = owner.Events().size();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(dispatcher.Pending(), 0u);
    EXPECT_EQ(owner.Events().size(), recorded);
    {
        std::lock_guard<std::mutex> lock(mutex);
        released = true;
    }
    changed.notify_all();
    owner.WaitEnded();
    ClTread::JoinFinishedWorkers();
    EXPECT_EQ(owner.Last(EventKind::ReportEnd)->Value, kUpdateNoDevice);
}

TEST(ClThreadFrameTest, StopDuringTheSearchEndsWithTheSearchCodeAndTheFlag) {
    ThreadDispatcher dispatcher;
    RecordingOwner owner;
    owner.OnEvent = [&](const testing_support::RecordedEvent& event) {
        if (event.Kind == EventKind::ShowAction)
            owner.Worker.load()->Terminate();
    };
    testing_support::RunWorkerToEnd(owner, dispatcher, NoPorts());
    const auto* end = owner.Last(EventKind::ReportEnd);
    ASSERT_NE(end, nullptr);
    EXPECT_TRUE(end->Terminated);
    EXPECT_EQ(end->Value, kUpdateNoDevice);
    EXPECT_EQ(end->Text, "");
}

TEST(ClThreadFrameTest, TraceFileIsDeletedAtCreationAndNotWrittenAgain) {
    const std::string name = testing::TempDir() + "engine_frame_trace.txt";
    {
        std::FILE* file = std::fopen(name.c_str(), "w");
        ASSERT_NE(file, nullptr);
        std::fputs("old trace\n", file);
        std::fclose(file);
    }
    ThreadDispatcher dispatcher;
    RecordingOwner owner;
    auto settings = NoPorts();
    settings.TraceFileName = name;
    testing_support::RunWorkerToEnd(owner, dispatcher, settings);
    std::FILE* file = std::fopen(name.c_str(), "r");
    EXPECT_EQ(file, nullptr);
    if (file != nullptr)
        std::fclose(file);
}

TEST(ClThreadFrameTest, WorkersRunOneAfterAnotherWithTheSameOwner) {
    ThreadDispatcher dispatcher;
    for (int run = 0; run < 3; ++run) {
        RecordingOwner owner;
        testing_support::RunWorkerToEnd(owner, dispatcher, NoPorts());
        EXPECT_EQ(owner.Last(EventKind::ReportEnd)->Value, kUpdateNoDevice);
    }
}

// At its thread limit the system refuses another thread (std::thread throws). That is no run:
// Start gives null without throwing or raising any event, frees what it made (ASan would see
// the leak), and a later worker still starts.
TEST(ClThreadFrameTest, AThreadTheSystemRefusesIsNoWorkerAndNoEvent) {
    ThreadDispatcher dispatcher;
    RecordingOwner owner;
    UpdateThreadSettings settings = NoPorts();
    int launches = 0;
    settings.LaunchThread = [&launches](std::function<void()>) -> std::thread {
        ++launches;
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    };
    EXPECT_EQ(ClTread::Start(owner, dispatcher, settings), nullptr);
    EXPECT_EQ(launches, 1);
    EXPECT_TRUE(owner.Events().empty());
    EXPECT_EQ(dispatcher.Pending(), 0u);

    testing_support::RunWorkerToEnd(owner, dispatcher, NoPorts());
    EXPECT_EQ(owner.Last(EventKind::ReportEnd)->Value, kUpdateNoDevice);
}

}  // namespace
}  // namespace veltrin
