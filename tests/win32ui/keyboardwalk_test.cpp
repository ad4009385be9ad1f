// Every window walked with the keyboard alone, as its keyboard table says, by real key presses
// (SendInput) through the system's focus and dialog handling. Each key is followed by a key that
// no window answers; once the UI thread's loop takes that one from its queue, the key before it
// has been handled, and the step's check runs.
#include <gtest/gtest.h>

#include <windows.h>

#include <deque>
#include <functional>
#include <future>
#include <map>
#include <memory>

#include "fakeworld.h"
#include "keyboardwalks.h"
#include "win32ui/controlids.h"
#include "win32ui/mainwindow.h"
#include "windowprobe.h"

namespace {

using namespace veltrin::win32ui;
using C = veltrin::FormControl;

constexpr WORD kSentinel = VK_F24;
const std::map<C, int> kIds{{C::Button_StartStop, kButtonStartStop},
                            {C::Question_Button_Yes, kButtonYes},
                            {C::Question_Button_No, kButtonNo},
                            {C::End_Button_Exit, kButtonExit},
                            {C::End_Button_Start, kButtonStart}};
const WORD kKeys[] = {VK_RETURN, VK_SPACE, VK_ESCAPE};  // in WindowKey order

struct Step {
    WORD key;
    bool shift;
    std::function<void()> check;  // runs once the key has been handled
};

// Presses the steps' keys in their order; each step's check runs when the UI thread's loop takes
// the sentinel that follows its key, when the key has been handled.
class Keyboard {
public:
    explicit Keyboard(std::deque<Step> steps) : steps_(std::move(steps)) {
        active_ = this;
        hook_ = SetWindowsHookExW(WH_KEYBOARD, &Keyboard::Hook, nullptr, GetCurrentThreadId());
        std::vector<INPUT> inputs;
        const auto key = [&inputs](WORD vk, DWORD flags) {
            inputs.push_back(INPUT{INPUT_KEYBOARD, {}});
            inputs.back().ki.wVk = vk;
            inputs.back().ki.dwFlags = flags;
        };
        for (const Step& step : steps_) {
            if (step.shift) {
                key(VK_SHIFT, 0);
            }
            key(step.key, 0);
            key(step.key, KEYEVENTF_KEYUP);
            if (step.shift) {
                key(VK_SHIFT, KEYEVENTF_KEYUP);
            }
            key(kSentinel, 0);
            key(kSentinel, KEYEVENTF_KEYUP);
        }
        EXPECT_EQ(SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)),
                  inputs.size());
    }
    ~Keyboard() {
        UnhookWindowsHookEx(hook_);
        active_ = nullptr;
    }
    bool Done() const { return steps_.empty(); }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM key, LPARAM flags) {
        const bool down = (static_cast<DWORD>(flags) & 0x80000000u) == 0;
        if (code == HC_ACTION && key == kSentinel && down && active_ && !active_->Done()) {
            const Step step = std::move(active_->steps_.front());
            active_->steps_.pop_front();
            step.check();
        }
        return CallNextHookEx(nullptr, code, key, flags);
    }

    static inline Keyboard* active_ = nullptr;
    std::deque<Step> steps_;
    HHOOK hook_ = nullptr;
};

std::deque<Step> Steps(HWND window, const KeyWalk& walk, std::function<void()> last) {
    const auto focusOn = [window](C control) {
        return [window, control] { EXPECT_EQ(GetFocus(), GetDlgItem(window, kIds.at(control))); };
    };
    focusOn(veltrin::KeyboardOf(walk.window).FirstFocus)();
    std::deque<Step> steps;
    for (const TabMove& move : walk.moves) {
        steps.push_back({VK_TAB, move.back, focusOn(move.focus)});
    }
    steps.push_back({kKeys[int(walk.key)], false, std::move(last)});
    return steps;
}

class KeyboardWalkTest : public ::testing::TestWithParam<KeyWalk> {};

TEST_P(KeyboardWalkTest, AnswersAsTheTableSays) {
    const KeyWalk& w = GetParam();
    FakeWorld world;
    world.Downloads = {Data("", ""), Data("Version 01.02.03", "")};
    std::promise<void> walked;
    std::shared_future<void> walkedFuture = walked.get_future().share();
    int answer = kStayedOpen;
    MainWindow window(world.Services());
    window.Show(SW_SHOWNORMAL);
    const HWND main = window.Handle();
    const HWND startStop = GetDlgItem(main, kButtonStartStop);
    SetForegroundWindow(main);
    SendMessageW(main, WM_TIMER, kTimerDownloadIntelHex, 0);  // Ready: enabled, focused
    std::unique_ptr<Keyboard> keyboard;
    if (w.window == C::MainWindow) {
        keyboard = std::make_unique<Keyboard>(Steps(main, w, [] { PostQuitMessage(0); }));
        RunMessageLoop();
        EXPECT_EQ(world.StartCalls, w.expected);
        if (window.Logic().Params().ThreadRunning) {
            window.Logic().UpdateThreadEnded();
        }
    } else {
        world.WorkerScript = [&answer, walkedFuture, &w](ScriptedWorker& worker) {
            if (w.window == C::QuestionDialog) {
                answer = worker.Ask("Start Update?") ? 1 : 0;
                walkedFuture.wait();  // the main window alone while the walk looks at its focus
            }
            worker.ReportEnd(2, "");
        };
        bool stayedOpen = false;
        probe::DialogScript script(window);
        script.Then([&](HWND dialog) {
            keyboard = std::make_unique<Keyboard>(Steps(dialog, w, [&, dialog] {
                stayedOpen = IsWindowVisible(dialog) != FALSE;
                if (stayedOpen) {
                    probe::Click(dialog, w.window == C::QuestionDialog ? kButtonNo : kButtonExit);
                } else if (w.window == C::QuestionDialog) {
                    EXPECT_EQ(GetFocus(), startStop) << "the focus came back to Cancel";
                }
                walked.set_value();
            }));
        });
        // The end dialog after the question, or the next run's after Start.
        script.Then([](HWND dialog) { probe::Click(dialog, kButtonExit); });
        window.Logic().Button_StartStopClick();
        RunMessageLoop();
        EXPECT_EQ(script.Unexpected(), 0);
        const int outcome = w.window == C::QuestionDialog ? answer : world.StartCalls == 2 ? 1 : 2;
        EXPECT_EQ(stayedOpen ? kStayedOpen : outcome, w.expected);
    }
    EXPECT_TRUE(keyboard && keyboard->Done());
}

INSTANTIATE_TEST_SUITE_P(Windows, KeyboardWalkTest, ::testing::ValuesIn(AllKeyWalks()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
