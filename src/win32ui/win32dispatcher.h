#pragma once

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "engine/threadowner.h"

namespace veltrin::win32ui {

// The worker's way onto the window thread. The work items stay in this object's locked queue;
// a window message only wakes the UI thread and carries nothing, so a message that another
// program posts to the window runs nothing but what our workers queued. A wake-up that cannot
// be posted (a full message queue, a window being destroyed) loses nothing: a waiting worker
// posts it again, and the UI thread also drains the queue on its sweep timer and while it
// waits for a run to end.
class Win32Dispatcher : public Dispatcher {
public:
    static constexpr UINT kWakeMessage = WM_APP + 1;

    // window: the window of the UI thread, which calls this from that thread.
    void Attach(HWND window);

    void RunAndWait(std::function<void()> fn) override;
    void Post(std::function<void()> fn) override;

    // For the window procedure: true for the wake-up message, whose queued items have then
    // run; false for any other message.
    bool HandleMessage(UINT message);
    // UI thread: runs every queued item in order. An exception that escapes an item still
    // releases its worker; it is passed on once the item has been answered.
    void Drain();
    // UI thread: waits up to timeoutMs for an item to arrive, then drains the queue.
    void WaitAndDrain(int timeoutMs);

private:
    struct Waiter {
        bool taken = false;  // the UI thread has begun the item
        bool done = false;
    };
    struct Item {
        std::function<void()> fn;
        std::shared_ptr<Waiter> waiter;  // null for a posted item
    };
    void Push(Item item);
    // Posts the wake-up unless one is on its way; force: post it even so.
    void Wake(bool force);

    HWND window_ = nullptr;
    DWORD uiThread_ = 0;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Item> queue_;
    bool wakePosted_ = false;
};

}  // namespace veltrin::win32ui
