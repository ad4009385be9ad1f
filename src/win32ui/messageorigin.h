#pragma once

#include <windows.h>

namespace veltrin::win32ui {

// Any program on the desktop can send or post any message to any window, with parameters of
// its choosing. What a message may change is decided by where it came from.

// True while handling a message that another thread (of this or another process) sent.
bool SentFromAnotherThread();

// A click of button: its own notification (sent by the button itself, lParam its window, as
// BN_CLICKED) while it is enabled. Clicks by mouse, by keyboard and by BM_CLICK all come so.
bool IsClickOf(HWND button, WPARAM wParam, LPARAM lParam);

// The dialog manager's Escape: IDCANCEL from no control, sent on this thread.
bool IsEscapeCommand(WPARAM wParam, LPARAM lParam);

// A queued message that only the system or a window's own controls send, never post: another
// program posted it. The message loops drop it before it reaches a window.
bool IsForgedPost(const MSG& message);

}  // namespace veltrin::win32ui
