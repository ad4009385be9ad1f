#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "engine/threadowner.h"

namespace veltrin::testing_support {

// A dispatcher with its own event loop on a real second thread, standing in for the owner's
// UI thread. Tasks run in the order they were queued; RunAndWait blocks the caller until its
// task has run on the loop thread.
class ThreadDispatcher : public Dispatcher {
public:
    ThreadDispatcher();
    ~ThreadDispatcher() override;

    void RunAndWait(std::function<void()> fn) override;
    void Post(std::function<void()> fn) override;

    std::thread::id LoopThreadId() const { return loopId_; }
    // While held, the loop takes no task; lets a test finish its set-up before the first event.
    void Hold();
    void Release();
    // Tasks queued but not yet taken by the loop.
    std::size_t Pending();

private:
    void Loop();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> tasks_;
    bool held_ = false;
    bool stopping_ = false;
    std::thread loop_;
    std::thread::id loopId_;
};

}  // namespace veltrin::testing_support
