#include "owners/mainthreaddispatcher.h"

#include <chrono>
#include <exception>
#include <memory>

namespace veltrin {

void MainThreadDispatcher::RunAndWait(std::function<void()> fn) {
    struct Call {
        std::mutex Lock;
        std::condition_variable Finished;
        bool Done = false;
        std::exception_ptr Error;
    };
    auto call = std::make_shared<Call>();
    Post([call, fn = std::move(fn)] {
        try {
            fn();
        } catch (...) {
            call->Error = std::current_exception();
        }
        std::lock_guard<std::mutex> guard(call->Lock);
        call->Done = true;
        call->Finished.notify_all();
    });
    std::unique_lock<std::mutex> guard(call->Lock);
    call->Finished.wait(guard, [&call] { return call->Done; });
    if (call->Error) {
        std::rethrow_exception(call->Error);
    }
}

void MainThreadDispatcher::Post(std::function<void()> fn) {
    {
        std::lock_guard<std::mutex> guard(lock_);
        queue_.push_back(std::move(fn));
    }
    queued_.notify_one();
}

void MainThreadDispatcher::RunUntil(const std::function<bool()>& done,
                                    const std::function<void()>& poll, unsigned pollMilliseconds) {
    while (!done()) {
        if (poll) {
            poll();
        }
        std::function<void()> next;
        {
            std::unique_lock<std::mutex> guard(lock_);
            if (!queued_.wait_for(guard, std::chrono::milliseconds(pollMilliseconds),
                                  [this] { return !queue_.empty(); })) {
                continue;
            }
            next = std::move(queue_.front());
            queue_.pop_front();
        }
        next();
    }
}

}  // namespace veltrin
