#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "engine/threadowner.h"

namespace veltrin {

// Runs the worker's handlers on the thread that calls RunUntil (the program's main thread).
class MainThreadDispatcher : public Dispatcher {
public:
    void RunAndWait(std::function<void()> fn) override;
    void Post(std::function<void()> fn) override;

    // Runs queued functions on the calling thread until done() holds. poll() runs before each
    // function and at least every pollMilliseconds while nothing is queued (e.g. to pass a
    // Ctrl+C on to the worker).
    void RunUntil(const std::function<bool()>& done, const std::function<void()>& poll = {},
                  unsigned pollMilliseconds = 100);

private:
    std::mutex lock_;
    std::condition_variable queued_;
    std::deque<std::function<void()>> queue_;
};

}  // namespace veltrin
