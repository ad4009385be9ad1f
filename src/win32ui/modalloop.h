#pragma once

#include <windows.h>

#include <functional>

#include "win32ui/windowkeys.h"

namespace veltrin::win32ui {

// Called once a modal dialog is on screen, before its loop runs: a test answers the dialog
// through its messages from here, as a person would with the mouse.
using DialogShownHook = std::function<void(HWND dialog)>;

// Shows dialog modally over owner until done becomes true, the keyboard focus first where its
// keyboard table says: the owner is disabled meanwhile, and Tab, Enter, Space and Escape work as
// the table says. A WM_QUIT that arrives meanwhile ends the loop and is posted again for the
// outer loop.
void RunModal(HWND owner, HWND dialog, WindowKeys& keys, const bool& done,
              const DialogShownHook& hook);

// Places a top-level window with its top-left corner offset pixels (at the owner's DPI) right of
// and below the owner's.
void PlaceBelowRight(HWND owner, HWND window, int offset);

}  // namespace veltrin::win32ui

namespace veltrin::win32ui {

// A window's WM_DPICHANGED. The DPI is the window's own, whatever the message says; after a real
// change the window is laid out anew, takes the size and place Windows suggests (lParam, read
// only when the system sent the message) and is repainted whole. False: nothing changed.
class ScaledLayout;
bool ApplyDpiChange(HWND window, ScaledLayout& layout, LPARAM lParam);

}  // namespace veltrin::win32ui
