#include "win32ui/win32dispatcher.h"

#include <chrono>
#include <exception>
#include <utility>

namespace veltrin::win32ui {
namespace {

// How long a worker waits for the UI thread to take up its item before it posts the wake-up
// again.
constexpr std::chrono::milliseconds kWakeRetry{100};

}  // namespace

void Win32Dispatcher::Attach(HWND window) {
    window_ = window;
    uiThread_ = GetCurrentThreadId();
}

void Win32Dispatcher::Push(Item item) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.push_back(std::move(item));
    }
    changed_.notify_all();
    Wake(false);
}

void Win32Dispatcher::Wake(bool force) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (wakePosted_ && !force) {
            return;
        }
        wakePosted_ = true;
    }
    if (!PostMessageW(window_, kWakeMessage, 0, 0)) {
        // The next item, a waiting worker or the UI thread's sweep takes it up.
        std::lock_guard<std::mutex> lock(mutex_);
        wakePosted_ = false;
    }
}

void Win32Dispatcher::RunAndWait(std::function<void()> fn) {
    // On the UI thread itself a wait would wait for itself.
    if (GetCurrentThreadId() == uiThread_) {
        fn();
        return;
    }
    auto waiter = std::make_shared<Waiter>();
    Push({std::move(fn), waiter});
    std::unique_lock<std::mutex> lock(mutex_);
    while (!waiter->done) {
        if (!changed_.wait_for(lock, kWakeRetry, [&] { return waiter->done; }) && !waiter->taken) {
            lock.unlock();
            Wake(true);
            lock.lock();
        }
    }
}

void Win32Dispatcher::Post(std::function<void()> fn) {
    Push({std::move(fn), nullptr});
}

bool Win32Dispatcher::HandleMessage(UINT message) {
    if (message != kWakeMessage) {
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        wakePosted_ = false;
    }
    Drain();
    return true;
}

void Win32Dispatcher::Drain() {
    for (;;) {
        Item item;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (queue_.empty()) {
                return;
            }
            item = std::move(queue_.front());
            queue_.pop_front();
            if (item.waiter) {
                item.waiter->taken = true;
            }
        }
        std::exception_ptr error;
        try {
            item.fn();
        } catch (...) {
            error = std::current_exception();
        }
        if (item.waiter) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                item.waiter->done = true;
            }
            changed_.notify_all();
        }
        if (error) {
            // The items behind it run at the next wake-up.
            Wake(false);
            std::rethrow_exception(error);
        }
    }
}

void Win32Dispatcher::WaitAndDrain(int timeoutMs) {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                          [this] { return !queue_.empty(); });
    }
    Drain();
}

}  // namespace veltrin::win32ui
