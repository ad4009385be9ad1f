#pragma once

#include <windows.h>

namespace veltrin::win32ui {

// The dialogs are popup windows of their own classes, which the system's accessibility layer
// reports as a plain client area: a screen reader would announce only the focused button.
// Answers WM_GETOBJECT for the client area of dialog with the system's own object for it, told
// to say that it is a dialog and to describe it with its message, the texts of its labels in
// their order. Returns false for every other object, which the default handling then answers.
bool AnswerAsDialog(HWND dialog, WPARAM wParam, LPARAM lParam, LRESULT& result);

// Tells screen readers that dialog has just been shown, so that they read its title, its
// message and its focused button.
void AnnounceDialog(HWND dialog);

}  // namespace veltrin::win32ui
