#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace veltrin::win32ui {

// Shows an exception and lets the program go on: the standard error box with the exception's
// text (empty for one that is not a std::exception). Every window procedure sends here what
// escapes a message's handler, so one failed event never takes down an update in progress.
void ShowException(const std::string& what);

// The window that owns the error box, so that it stays in front of it and no click reaches the
// window behind while the box is open; null: none.
void SetExceptionOwner(HWND owner);

// Replaces the error box (a test records instead); an empty function restores it.
void SetExceptionDisplay(std::function<void(const std::string&)> display);

// The text shown for the exception in flight; call only inside a catch block.
std::string CurrentExceptionText();

}  // namespace veltrin::win32ui
