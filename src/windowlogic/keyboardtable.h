#pragma once

#include <optional>
#include <span>

#include "windowlogic/formlayout.h"

namespace veltrin {

// The keys that answer a window; Tab and Shift+Tab walk its controls instead.
enum class WindowKey { Enter, Space, Escape };

// What one of those keys does in a window.
enum class KeyAnswer {
    Nothing,       // swallowed: the key changes nothing
    PressFocused,  // presses the button that has the focus; with none, the window's first focus
    Leave,         // leaves the window the way its close box does
};

// How the keyboard drives one window. Both views take the Tab order, the first focus and what
// each key does from this one table, so a key does the same thing on either system.
struct WindowKeyboard {
    FormControl Window;
    std::span<const FormControl> TabOrder;  // the only controls that take the focus, in Tab order
    FormControl FirstFocus;                 // where the focus is when the window opens
    KeyAnswer Enter;
    KeyAnswer Space;
    KeyAnswer Escape;
};

std::span<const WindowKeyboard> KeyboardTable();
// window: MainWindow, QuestionDialog or EndDialog.
const WindowKeyboard& KeyboardOf(FormControl window);
KeyAnswer AnswerOf(FormControl window, WindowKey key);

// The button that key presses in window, given the control that has the focus (none: no control
// of the window has it); none: the key presses no button.
std::optional<FormControl> ButtonPressedBy(FormControl window, WindowKey key,
                                           std::optional<FormControl> focused);

}  // namespace veltrin
