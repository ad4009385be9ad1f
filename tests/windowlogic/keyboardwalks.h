#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "windowlogic/keyboardtable.h"

// The walks both views' tests make through every window by its keyboard table: Tab round the
// controls and Shift+Tab back, each focus checked, then Tab to one control and a key there.
struct TabMove {
    bool back;  // Shift+Tab
    veltrin::FormControl focus;
};

inline constexpr int kStayedOpen = -1;

struct KeyWalk {
    veltrin::FormControl window;
    std::vector<TabMove> moves;
    veltrin::WindowKey key;
    // kStayedOpen; or what the key led to: the question's answer (1 Yes, 0 No), the end
    // dialog's result, the runs the main window started.
    int expected;
    std::string name;
};

inline std::vector<KeyWalk> AllKeyWalks() {
    using namespace veltrin;
    using C = FormControl;
    std::vector<KeyWalk> walks;
    for (const WindowKeyboard& keyboard : KeyboardTable()) {
        const auto& order = keyboard.TabOrder;
        const int count = static_cast<int>(order.size());
        const int first = static_cast<int>(
            std::find(order.begin(), order.end(), keyboard.FirstFocus) - order.begin());
        for (int index = 0; index < count; ++index) {
            std::vector<TabMove> moves;
            int at = first;
            for (int i = 0; i < 2 * count || at != index; ++i) {
                const bool back = i >= count && i < 2 * count;
                at = (at + (back ? count - 1 : 1)) % count;
                moves.push_back({back, order[at]});
            }
            for (const WindowKey key : {WindowKey::Enter, WindowKey::Space, WindowKey::Escape}) {
                const auto pressed = ButtonPressedBy(keyboard.Window, key, order[index]);
                int expected = keyboard.Window == C::MainWindow ? 0 : kStayedOpen;
                if (pressed) {
                    expected = *pressed == C::Question_Button_No ? 0
                               : *pressed == C::End_Button_Exit  ? 2
                                                                 : 1;
                } else if (AnswerOf(keyboard.Window, key) == KeyAnswer::Leave) {
                    expected = 0;  // the question's close box: No
                }
                const char* window = keyboard.Window == C::MainWindow  ? "Main"
                                     : keyboard.Window == C::EndDialog ? "End"
                                                                       : "Question";
                const char* const keys[] = {"Enter", "Space", "Escape"};
                walks.push_back({keyboard.Window, moves, key, expected,
                                 window + std::string(keys[int(key)]) + std::to_string(index)});
            }
        }
    }
    return walks;
}
