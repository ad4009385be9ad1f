#pragma once

#include <atomic>
#include <chrono>

namespace veltrin {

// The program's one way to stop a running update, shared by every source of a stop: Ctrl+C,
// a termination signal, a closed console, the end of the user's session. The commands poll the
// flag at their check points and end the run through its normal end.

// Set by the first request; the commands' Interrupted flag.
const std::atomic<bool>& StopFlag();

// Asks the running update to stop at its next check point. False when a stop had already been
// asked for (a second Ctrl+C: the caller may end the program at once). Safe in a signal handler
// and on any thread.
bool RequestStop();

// Called by the program once the run has ended, its record written and its output out; lets a
// handler that waits for that (a closing console, an ending session) give the process up.
void NoteRunEnded();

// Waits until NoteRunEnded has been called, at most for bound; true if it was. Not for signal
// handlers.
bool WaitForRunEnd(std::chrono::milliseconds bound);

}  // namespace veltrin
