#include "owners/mainthreaddispatcher.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

namespace veltrin {
namespace {

TEST(MainThreadDispatcherTest, HandlersRunOnTheMainThreadWhileTheWorkerWaits) {
    MainThreadDispatcher dispatcher;
    const std::thread::id mainThread = std::this_thread::get_id();
    std::vector<int> order;  // touched by the main thread only, or by the worker while it owns it
    std::atomic<bool> finished{false};

    std::thread worker([&] {
        for (int i = 0; i < 3; ++i) {
            dispatcher.RunAndWait([&, i] {
                EXPECT_EQ(std::this_thread::get_id(), mainThread);
                order.push_back(i);
            });
            // RunAndWait returned: the handler has run completely.
            EXPECT_EQ(order.size(), static_cast<std::size_t>(i + 1));
        }
        dispatcher.Post([&] { finished = true; });
    });
    dispatcher.RunUntil([&] { return finished.load(); });
    worker.join();
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
}

TEST(MainThreadDispatcherTest, ExceptionOfAHandlerReachesTheWaitingThread) {
    MainThreadDispatcher dispatcher;
    std::atomic<bool> caught{false};
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        try {
            dispatcher.RunAndWait([] { throw std::runtime_error("handler failed"); });
        } catch (const std::runtime_error&) {
            caught = true;
        }
        dispatcher.Post([&] { finished = true; });
    });
    dispatcher.RunUntil([&] { return finished.load(); });
    worker.join();
    EXPECT_TRUE(caught);
}

TEST(MainThreadDispatcherTest, PollRunsWhileNothingIsQueued) {
    MainThreadDispatcher dispatcher;
    int polls = 0;
    dispatcher.RunUntil([&] { return polls >= 3; }, [&] { ++polls; }, 1);
    EXPECT_EQ(polls, 3);
}

}  // namespace
}  // namespace veltrin
