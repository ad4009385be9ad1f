// Every window walked with the keyboard alone, as its keyboard table says, by real key presses
// (SendInput) through the system's focus and dialog handling. Each key is followed by a key that
// no window answers; once the UI thread's loop takes that one from its queue, the key before it
// has been handled, and the step's check runs.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <future>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "fakeworld.h"
#include "win32ui/controlids.h"
#include "win32ui/mainwindow.h"
#include "windowlogic/keyboardtable.h"
#include "windowprobe.h"

namespace {

using namespace veltrin::win32ui;
using veltrin::FormControl;
using veltrin::KeyAnswer;
using veltrin::WindowKey;
using veltrin::WindowKeyboard;
using C = FormControl;

constexpr WORD kSentinel = VK_F24;
constexpr int kStayedOpen = -1;

// Each control of the table, and what pressing it leads to: the question's answer (1 yes), the
// end dialog's result, or the runs the main window starts.
const std::map<C, std::pair<int, int>> kControls{
    {C::Button_StartStop, {kButtonStartStop, 1}}, {C::Question_Button_Yes, {kButtonYes, 1}},
    {C::Question_Button_No, {kButtonNo, 0}},      {C::End_Button_Exit, {kButtonExit, 2}},
    {C::End_Button_Start, {kButtonStart, 1}},
};

struct Step {
    WORD key;
    bool shift;
    std::function<void()> check;  // runs once the key has been handled
};

// Presses the steps' keys one after another, each when the one before has been handled.
class KeyWalk {
public:
    explicit KeyWalk(std::deque<Step> steps) : steps_(std::move(steps)) {
        active_ = this;
        hook_ = SetWindowsHookExW(WH_KEYBOARD, &KeyWalk::Hook, nullptr, GetCurrentThreadId());
        Press(steps_.front());
    }
    ~KeyWalk() {
        UnhookWindowsHookEx(hook_);
        active_ = nullptr;
    }
    bool Done() const { return steps_.empty(); }

private:
    static void Press(const Step& step) {
        std::vector<INPUT> inputs;
        const auto key = [&inputs](WORD vk, bool up) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = vk;
            input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            inputs.push_back(input);
        };
        if (step.shift) {
            key(VK_SHIFT, false);
        }
        key(step.key, false);
        key(step.key, true);
        if (step.shift) {
            key(VK_SHIFT, true);
        }
        key(kSentinel, false);
        key(kSentinel, true);
        const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        EXPECT_EQ(sent, inputs.size());
    }
    static LRESULT CALLBACK Hook(int code, WPARAM key, LPARAM flags) {
        const bool down = (static_cast<DWORD>(flags) & 0x80000000u) == 0;
        if (code == HC_ACTION && key == kSentinel && down && active_ != nullptr &&
            !active_->steps_.empty()) {
            Step step = std::move(active_->steps_.front());
            active_->steps_.pop_front();
            step.check();
            if (!active_->steps_.empty()) {
                Press(active_->steps_.front());
            }
        }
        return CallNextHookEx(nullptr, code, key, flags);
    }

    static inline KeyWalk* active_ = nullptr;
    std::deque<Step> steps_;
    HHOOK hook_ = nullptr;
};

// Tab round the window's controls and Shift+Tab back, checking the focus against the table,
// then Tab to the control at index and press key there; last runs after that key.
std::deque<Step> WalkSteps(HWND window, const WindowKeyboard& keyboard, int index, WORD key,
                           std::function<void()> last) {
    const auto& order = keyboard.TabOrder;
    const int count = static_cast<int>(order.size());
    int at = static_cast<int>(std::find(order.begin(), order.end(), keyboard.FirstFocus) -
                              order.begin());
    const auto focusOn = [window](C control) {
        return [window, control] {
            EXPECT_EQ(GetFocus(), GetDlgItem(window, kControls.at(control).first))
                << "Tab to control " << int(control);
        };
    };
    focusOn(keyboard.FirstFocus)();
    std::deque<Step> steps;
    for (int i = 0; i < count; ++i) {
        at = (at + 1) % count;
        steps.push_back({VK_TAB, false, focusOn(order[at])});
    }
    for (int i = 0; i < count; ++i) {
        at = (at + count - 1) % count;
        steps.push_back({VK_TAB, true, focusOn(order[at])});
    }
    for (; at != index; at = (at + 1) % count) {
        steps.push_back({VK_TAB, false, [] {}});
    }
    steps.push_back({key, false, std::move(last)});
    return steps;
}

struct WalkCase {
    C window;
    int index;
    WORD key;
    int expected;
};

std::vector<WalkCase> AllWalks() {
    const std::pair<WindowKey, WORD> keys[] = {{WindowKey::Enter, VK_RETURN},
                                               {WindowKey::Space, VK_SPACE},
                                               {WindowKey::Escape, VK_ESCAPE}};
    std::vector<WalkCase> cases;
    for (const WindowKeyboard& keyboard : veltrin::KeyboardTable()) {
        for (std::size_t i = 0; i < keyboard.TabOrder.size(); ++i) {
            for (const auto& [key, vk] : keys) {
                int expected = keyboard.Window == C::MainWindow ? 0 : kStayedOpen;
                if (const auto pressed =
                        ButtonPressedBy(keyboard.Window, key, keyboard.TabOrder[i])) {
                    expected = kControls.at(*pressed).second;
                } else if (AnswerOf(keyboard.Window, key) == KeyAnswer::Leave) {
                    expected = 0;  // the question's close box: No
                }
                cases.push_back({keyboard.Window, static_cast<int>(i), vk, expected});
            }
        }
    }
    return cases;
}

class KeyboardWalkTest : public ::testing::TestWithParam<WalkCase> {};

TEST_P(KeyboardWalkTest, AnswersAsTheTableSays) {
    const WalkCase& c = GetParam();
    const WindowKeyboard& keyboard = veltrin::KeyboardOf(c.window);
    FakeWorld world;
    std::promise<void> walked;
    std::shared_future<void> walkedFuture = walked.get_future().share();
    int answer = kStayedOpen;
    bool stayedOpen = false;
    std::unique_ptr<KeyWalk> walk;
    world.Downloads = {Data("Version 01.02.03", "")};  // the first run starts at once
    if (c.window == C::MainWindow) {
        world.Downloads = {Data("", ""), Data("Version 01.02.03", "")};
    } else if (c.window == C::QuestionDialog) {
        world.WorkerScript = [&answer, walkedFuture](ScriptedWorker& worker) {
            answer = worker.Ask("Start Update?") ? 1 : 0;
            walkedFuture.wait();  // the main window alone while the walk looks at its focus
            worker.ReportEnd(0, "Quorvan/plus Version 01.02.03");
        };
    } else {
        world.WorkerScript = [](ScriptedWorker& worker) { worker.ReportEnd(2, ""); };
    }
    MainWindow window(world.Services());
    ASSERT_NE(window.Handle(), nullptr);
    window.Show(SW_SHOWNORMAL);
    const HWND main = window.Handle();
    const HWND startStop = GetDlgItem(main, kButtonStartStop);
    probe::DialogScript script(window);

    if (c.window == C::MainWindow) {
        SetForegroundWindow(main);
        SendMessageW(main, WM_TIMER, kTimerDownloadIntelHex, 0);  // Ready: enabled, focused
        walk = std::make_unique<KeyWalk>(WalkSteps(main, keyboard, c.index, c.key, [&] {
            // Back from another window, the focus is on the button again.
            const HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 50,
                                               50, nullptr, nullptr, nullptr, nullptr);
            SetForegroundWindow(other);
            SetForegroundWindow(main);
            EXPECT_EQ(GetFocus(), startStop);
            DestroyWindow(other);
            PostQuitMessage(0);
        }));
        RunMessageLoop();
        EXPECT_TRUE(walk->Done());
        EXPECT_EQ(world.StartCalls, c.expected);
        if (window.Logic().Params().ThreadRunning) {
            window.Logic().UpdateThreadEnded();
        }
        return;
    }

    script.Then([&](HWND dialog) {
        walk = std::make_unique<KeyWalk>(WalkSteps(dialog, keyboard, c.index, c.key, [&, dialog] {
            stayedOpen = IsWindowVisible(dialog) != FALSE;
            if (stayedOpen) {
                probe::Click(dialog, c.window == C::QuestionDialog ? kButtonNo : kButtonExit);
            } else if (c.window == C::QuestionDialog) {
                EXPECT_EQ(GetFocus(), startStop) << "the focus came back to Cancel";
            }
            walked.set_value();
        }));
    });
    if (c.window == C::QuestionDialog) {
        script.Then([](HWND dialog) { probe::Click(dialog, kButtonExit); });
    } else if (c.expected == 1) {
        script.Then([](HWND dialog) { probe::Click(dialog, kButtonExit); });  // the next run's
    }
    RunMessageLoop();
    EXPECT_TRUE(walk && walk->Done());
    EXPECT_EQ(script.Unexpected(), 0);
    const int outcome = c.window == C::QuestionDialog ? answer : world.StartCalls == 2 ? 1 : 2;
    EXPECT_EQ(stayedOpen ? kStayedOpen : outcome, c.expected);
}

std::string NameOf(const WalkCase& c) {
    const char* window = c.window == C::MainWindow       ? "Main"
                         : c.window == C::QuestionDialog ? "Question"
                                                         : "End";
    const char* key = c.key == VK_RETURN ? "Enter" : c.key == VK_SPACE ? "Space" : "Escape";
    return std::string(window) + key + "OnStop" + std::to_string(c.index);
}

void PrintTo(const WalkCase& c, std::ostream* out) {
    *out << NameOf(c);
}

INSTANTIATE_TEST_SUITE_P(Windows, KeyboardWalkTest, ::testing::ValuesIn(AllWalks()),
                         [](const auto& info) { return NameOf(info.param); });

}  // namespace
