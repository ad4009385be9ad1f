#include "windowlogic/keyboardtable.h"

#include <algorithm>
#include <array>

namespace veltrin {
namespace {

using C = FormControl;
using A = KeyAnswer;

constexpr std::array kMainTabOrder{C::Button_StartStop};
// Left to right, as the buttons sit.
constexpr std::array kQuestionTabOrder{C::Question_Button_Yes, C::Question_Button_No};
constexpr std::array kEndTabOrder{C::End_Button_Exit, C::End_Button_Start};

constexpr std::array<WindowKeyboard, 3> kTable{{
    // Enter does nothing here: the Enter that answers the end dialog with "Update next device"
    // is still held when the next run starts, and its auto-repeats would press "Cancel".
    {C::MainWindow, kMainTabOrder, C::Button_StartStop, A::Nothing, A::PressFocused, A::Nothing},
    // The focus opens on No, and Enter and Space press the focused button: no single key
    // confirms a question such as the one before user data is deleted; Yes takes Tab first, or
    // the mouse. Escape is the close box: No.
    {C::QuestionDialog, kQuestionTabOrder, C::Question_Button_No, A::PressFocused, A::PressFocused,
     A::Leave},
    // No close box, and Escape does nothing: a run always ends in the choice between the next
    // device and leaving.
    {C::EndDialog, kEndTabOrder, C::End_Button_Start, A::PressFocused, A::PressFocused, A::Nothing},
}};

constexpr bool WellFormed() {
    for (const WindowKeyboard& entry : kTable) {
        if (std::find(entry.TabOrder.begin(), entry.TabOrder.end(), entry.FirstFocus) ==
            entry.TabOrder.end()) {
            return false;
        }
    }
    return true;
}
static_assert(WellFormed(), "every window opens with the focus on one of its Tab stops");

}  // namespace

std::span<const WindowKeyboard> KeyboardTable() {
    return kTable;
}

const WindowKeyboard& KeyboardOf(FormControl window) {
    for (const WindowKeyboard& entry : kTable) {
        if (entry.Window == window) {
            return entry;
        }
    }
    return kTable.front();
}

KeyAnswer AnswerOf(FormControl window, WindowKey key) {
    const WindowKeyboard& keyboard = KeyboardOf(window);
    switch (key) {
        case WindowKey::Enter:
            return keyboard.Enter;
        case WindowKey::Space:
            return keyboard.Space;
        case WindowKey::Escape:
            return keyboard.Escape;
    }
    return KeyAnswer::Nothing;
}

std::optional<FormControl> ButtonPressedBy(FormControl window, WindowKey key,
                                           std::optional<FormControl> focused) {
    if (AnswerOf(window, key) != KeyAnswer::PressFocused) {
        return std::nullopt;
    }
    const WindowKeyboard& keyboard = KeyboardOf(window);
    const auto& order = keyboard.TabOrder;
    if (focused && std::find(order.begin(), order.end(), *focused) != order.end()) {
        return focused;
    }
    return keyboard.FirstFocus;
}

}  // namespace veltrin
