#pragma once

#include <windows.h>

#include <functional>
#include <optional>

#include "windowlogic/keyboardtable.h"

namespace veltrin::win32ui {

// Drives one window by its keyboard table: its Tab stops and their order, where the focus opens
// and returns, and what Enter, Space and Escape do. The window forwards DM_GETDEFID, its
// Escape command and WM_ACTIVATE here; the message loops drop what the table answers with
// nothing.
class WindowKeys {
public:
    using ControlLookup = std::function<HWND(FormControl)>;

    // Call once the window's controls exist: only the table's controls stay Tab stops, and the
    // dialog manager, which walks the children in z-order, meets them in the table's order.
    WindowKeys(HWND window, FormControl id, ControlLookup controlOf);

    FormControl Id() const { return id_; }
    HWND FirstFocus() const;
    // A dialog opens anew: the focus of its last showing is not brought back, and only the
    // first focus looks like the button Enter presses.
    void Forget();
    // DM_GETDEFID, asked when Enter is pressed: the button the table names, or none.
    LRESULT DefaultId() const;
    bool EscapeLeaves() const { return AnswerOf(id_, WindowKey::Escape) == KeyAnswer::Leave; }

    // WM_ACTIVATE: the system leaves the focus on the frame whenever a window is activated,
    // where Space does nothing until Tab is pressed. The control that had it gets it back, or
    // the first focus; when neither can take it the frame keeps it, not a disabled control.
    void OnActivate(WPARAM wParam);
    void FocusControl();
    // WM_ACTIVATE and WM_SETFOCUS of the window, answered as above: true with result set when
    // message was one of them.
    bool HandleFocusMessage(UINT message, WPARAM wParam, LRESULT& result);

private:
    std::optional<FormControl> Focused() const;

    HWND window_;
    FormControl id_;
    ControlLookup controlOf_;
    HWND lastFocus_ = nullptr;  // the control that had the focus when the window was left
};

// A key whose answer in window is Nothing: the loop drops it before the dialog manager or a
// button can act on it.
bool KeyAnswersNothing(FormControl window, const MSG& message);

}  // namespace veltrin::win32ui
