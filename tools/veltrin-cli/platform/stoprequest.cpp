#include "platform/stoprequest.h"

#include <condition_variable>
#include <mutex>

namespace veltrin {

namespace {

// A signal handler may touch only a lock-free atomic.
std::atomic<bool> stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

struct RunEnd {
    std::mutex Lock;
    std::condition_variable Changed;
    bool Ended = false;
};

RunEnd& TheRunEnd() {
    static RunEnd end;
    return end;
}

}  // namespace

const std::atomic<bool>& StopFlag() {
    return stopRequested;
}

bool RequestStop() {
    return !stopRequested.exchange(true);
}

void NoteRunEnded() {
    RunEnd& end = TheRunEnd();
    {
        std::lock_guard<std::mutex> lock(end.Lock);
        end.Ended = true;
    }
    end.Changed.notify_all();
}

bool WaitForRunEnd(std::chrono::milliseconds bound) {
    RunEnd& end = TheRunEnd();
    std::unique_lock<std::mutex> lock(end.Lock);
    return end.Changed.wait_for(lock, bound, [&end] { return end.Ended; });
}

}  // namespace veltrin
