#pragma once

#include <windows.h>

#include <functional>

namespace veltrin {

// How a top-level window of ours takes part in the end of the session while a run holds its
// inhibitor: it names the reason (ShutdownBlockReasonCreate, which only the window's own thread
// may call, hence the message the inhibitor posts), refuses WM_QUERYENDSESSION, and on a forced
// WM_ENDSESSION calls stopRun, which asks the run to stop and returns once its record is written.
// True when message was one of these; result is then the window procedure's answer.
bool HandleSessionEndMessage(HWND window, UINT message, WPARAM wParam, LRESULT& result,
                             const std::function<void()>& stopRun);

// Whether any run of this process holds its inhibitor now.
bool RunInhibitorHeld();

}  // namespace veltrin
