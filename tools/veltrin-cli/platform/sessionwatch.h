#pragma once

namespace veltrin {

// Takes part in the end of the user's session for as long as the object lives. While a run
// holds its inhibitor the session's end is refused; a forced end asks the run to stop (the same
// request as Ctrl+C) and holds the session until the run has ended (NoteRunEnded), so the run's
// record is written.
// Windows needs a window for that; elsewhere logind's inhibitor does it all and this is empty.
class SessionWatch {
public:
    SessionWatch();
    ~SessionWatch();
    SessionWatch(const SessionWatch&) = delete;
    SessionWatch& operator=(const SessionWatch&) = delete;

private:
    struct State;
    State* state_ = nullptr;
};

}  // namespace veltrin
