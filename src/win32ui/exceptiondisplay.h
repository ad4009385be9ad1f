#pragma once

#include <functional>
#include <string>

namespace veltrin::win32ui {

// Shows an exception and lets the program go on: the standard error box with the exception's
// text (empty for one that is not a std::exception). Every window procedure sends here what
// escapes a message's handler, so one failed event never takes down an update in progress.
void ShowException(const std::string& what);

// Replaces the error box (a test records instead); an empty function restores it.
void SetExceptionDisplay(std::function<void(const std::string&)> display);

// The text shown for the exception in flight; call only inside a catch block.
std::string CurrentExceptionText();

}  // namespace veltrin::win32ui
