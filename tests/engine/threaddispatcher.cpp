#include "threaddispatcher.h"

#include <memory>

namespace veltrin::testing_support {

ThreadDispatcher::ThreadDispatcher() {
    loop_ = std::thread([this] { Loop(); });
    loopId_ = loop_.get_id();
}

ThreadDispatcher::~ThreadDispatcher() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        held_ = false;
    }
    wake_.notify_all();
    loop_.join();
}

void ThreadDispatcher::RunAndWait(std::function<void()> fn) {
    // Shared, so neither side can touch the state after the other has let go of it.
    struct Completion {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
    };
    auto completion = std::make_shared<Completion>();
    Post([&fn, completion] {
        fn();
        std::lock_guard<std::mutex> lock(completion->mutex);
        completion->finished = true;
        completion->done.notify_all();
    });
    std::unique_lock<std::mutex> lock(completion->mutex);
    completion->done.wait(lock, [&] { return completion->finished; });
}

void ThreadDispatcher::Post(std::function<void()> fn) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        tasks_.push_back(std::move(fn));
    }
    wake_.notify_all();
}

void ThreadDispatcher::Hold() {
    std::lock_guard<std::mutex> lock(mutex_);
    held_ = true;
}

void ThreadDispatcher::Release() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        held_ = false;
    }
    wake_.notify_all();
}

std::size_t ThreadDispatcher::Pending() {
    std::lock_guard<std::mutex> lock(mutex_);
    return tasks_.size();
}

void ThreadDispatcher::Loop() {
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return (!held_ && !tasks_.empty()) || stopping_; });
            // Queued work is drained before the loop ends, so no worker is left waiting.
            if (tasks_.empty())
                return;
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
    }
}

}  // namespace veltrin::testing_support
