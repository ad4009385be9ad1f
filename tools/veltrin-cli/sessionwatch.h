#pragma once

#include <atomic>

namespace veltrin {

// Takes part in the end of the user's session for as long as the object lives. While a run
// holds its inhibitor the session's end is refused; a forced end sets interrupted (the same
// request as Ctrl+C) and holds the session until RunEnded, so the run's record is written.
// Windows needs a window for that; elsewhere logind's inhibitor does it all and this is empty.
class SessionWatch {
public:
    explicit SessionWatch(std::atomic<bool>& interrupted);
    ~SessionWatch();
    SessionWatch(const SessionWatch&) = delete;
    SessionWatch& operator=(const SessionWatch&) = delete;

    // The command has returned: its record, if any, is written.
    void RunEnded();

private:
    struct State;
    State* state_ = nullptr;
};

}  // namespace veltrin
