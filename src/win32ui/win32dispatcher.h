#pragma once

#include <windows.h>

#include <functional>

#include "engine/threadowner.h"

namespace veltrin::win32ui {

// The worker's way onto the window thread: RunAndWait sends a private message (the sender waits
// until the window procedure has run the function), Post posts one. The window's procedure
// hands both messages to HandleMessage.
class Win32Dispatcher : public Dispatcher {
public:
    static constexpr UINT kRunMessage = WM_APP + 1;
    static constexpr UINT kPostMessage = WM_APP + 2;

    // window: the window of the UI thread; it outlives every worker that uses this dispatcher.
    void Attach(HWND window) { window_ = window; }

    void RunAndWait(std::function<void()> fn) override;
    void Post(std::function<void()> fn) override;

    // For the window procedure: runs the function of one of the two messages; false for any
    // other message.
    static bool HandleMessage(UINT message, LPARAM lParam);

private:
    HWND window_ = nullptr;
};

}  // namespace veltrin::win32ui
