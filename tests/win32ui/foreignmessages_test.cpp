// Messages that another program can send to any window on the desktop, sent from another thread
// as such a program's would arrive, while a run waits in a dialog: none of them may answer the
// dialog, cancel the run, detach the window from its object or rescale it. And keys that were
// already held when a dialog opened answer nothing.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "fakeworld.h"
#include "win32ui/controlids.h"
#include "win32ui/mainwindow.h"
#include "windowprobe.h"

namespace {

using namespace veltrin::win32ui;
using veltrin::UpdateThreadOwner;

struct Forgery {
    const char* name;
    // Runs on another thread while the question is open; main and dialog are its windows.
    std::function<void(HWND main, HWND dialog)> send;
};

int WidthOf(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    return rect.right - rect.left;
}

class ForeignMessageTest : public ::testing::TestWithParam<Forgery> {};

TEST_P(ForeignMessageTest, ChangesNothingDuringARun) {
    const Forgery& forgery = GetParam();
    FakeWorld world;
    world.Downloads = {Data("Version 01.02.03", "")};
    bool answer = true;
    bool terminated = true;
    world.WorkerScript = [&](ScriptedWorker& worker) {
        answer = worker.Ask("! Adjustments and other user data will be deleted.\n\nStart Update?");
        terminated = worker.Terminated();
        worker.ReportEnd(0, "Quorvan/plus Version 01.02.03");
    };
    MainWindow window(world.Services());
    ASSERT_NE(window.Handle(), nullptr);
    window.Show(SW_SHOWNORMAL);
    const HWND main = window.Handle();
    const HWND button = GetDlgItem(main, kButtonStartStop);
    const int buttonWidth = WidthOf(button);
    std::thread other;
    int questionWidth = 0;
    int questionWidthAfter = 0;
    int buttonWidthAfter = 0;
    probe::DialogScript script(window);
    script.Then([&](HWND dialog) {
        questionWidth = WidthOf(GetDlgItem(dialog, kButtonYes));
        // The other program's messages first; then the person answers No.
        other = std::thread([&forgery, main, dialog] {
            forgery.send(main, dialog);
            PostMessageW(GetDlgItem(dialog, kButtonNo), BM_CLICK, 0, 0);
        });
    });
    script.Then([&](HWND dialog) {
        questionWidthAfter = WidthOf(GetDlgItem(window.QuestionDialogHandle(), kButtonYes));
        buttonWidthAfter = WidthOf(button);
        probe::Click(dialog, kButtonExit);
    });
    RunMessageLoop();
    other.join();
    EXPECT_FALSE(answer) << "the forged message answered the question";
    EXPECT_FALSE(terminated) << "the forged message cancelled the run";
    EXPECT_EQ(script.Shown(), 2);
    EXPECT_EQ(script.Unexpected(), 0);
    EXPECT_EQ(world.StartCalls, 1);
    // The window stayed its object's until the end dialog's Exit closed it.
    EXPECT_FALSE(IsWindow(main));
    EXPECT_EQ(questionWidthAfter, questionWidth);
    EXPECT_EQ(buttonWidthAfter, buttonWidth);
}

WPARAM Clicked(int id) {
    return MAKEWPARAM(id, BN_CLICKED);
}

LPARAM Of(HWND parent, int id) {
    return reinterpret_cast<LPARAM>(GetDlgItem(parent, id));
}

INSTANTIATE_TEST_SUITE_P(
    Forged, ForeignMessageTest,
    ::testing::Values(
        Forgery{"YesSentAsTheButton",
                [](HWND, HWND d) {
                    SendMessageW(d, WM_COMMAND, Clicked(kButtonYes), Of(d, kButtonYes));
                }},
        Forgery{"YesPosted",
                [](HWND, HWND d) {
                    PostMessageW(d, WM_COMMAND, Clicked(kButtonYes), Of(d, kButtonYes));
                    PostMessageW(d, WM_COMMAND, kButtonYes, 0);
                }},
        Forgery{"CancelSentAsTheButton",
                [](HWND m, HWND) {
                    SendMessageW(m, WM_COMMAND, Clicked(kButtonStartStop), Of(m, kButtonStartStop));
                    PostMessageW(m, WM_COMMAND, Clicked(kButtonStartStop), Of(m, kButtonStartStop));
                }},
        Forgery{"DestroyThenClose",
                [](HWND m, HWND d) {
                    for (HWND w : {m, d}) {
                        SendMessageW(w, WM_DESTROY, 0, 0);
                        SendMessageW(w, WM_NCDESTROY, 0, 0);
                        PostMessageW(w, WM_NCDESTROY, 0, 0);
                    }
                    SendMessageW(m, WM_CLOSE, 0, 0);
                }},
        Forgery{"DpiChangedWithAPointerIntoNowhere",
                [](HWND m, HWND d) {
                    for (HWND w : {m, d}) {
                        SendMessageW(w, WM_DPICHANGED, MAKEWPARAM(192, 192), 0x10);
                        PostMessageW(w, WM_DPICHANGED, MAKEWPARAM(288, 288), 0x10);
                    }
                }}),
    [](const auto& info) { return std::string(info.param.name); });

// Enter held down since before the question opened: its auto-repeats must not press No, the
// button that has the focus; the person's own click on Yes is the answer.
TEST(HeldKeyTest, AutoRepeatFromBeforeTheDialogAnswersNothing) {
    FakeWorld world;
    world.Downloads = {Data("Version 01.02.03", "")};
    bool answer = false;
    world.WorkerScript = [&](ScriptedWorker& worker) {
        answer = worker.Ask("Start Update?");
        worker.ReportEnd(0, "Quorvan/plus Version 01.02.03");
    };
    MainWindow window(world.Services());
    window.Show(SW_SHOWNORMAL);
    probe::DialogScript script(window);
    script.Then([](HWND dialog) {
        const HWND focus = GetFocus();
        EXPECT_EQ(focus, GetDlgItem(dialog, kButtonNo));
        // The focus is drawn from the start.
        const LRESULT state = SendMessageW(focus, WM_QUERYUISTATE, 0, 0);
        EXPECT_EQ(state & UISF_HIDEFOCUS, 0);
        constexpr LPARAM kRepeat = LPARAM{1} << 30;
        for (int i = 0; i < 5; ++i) {
            PostMessageW(focus, WM_KEYDOWN, VK_RETURN, kRepeat | 1);
        }
        PostMessageW(focus, WM_KEYUP, VK_RETURN, LPARAM{3} << 30);
        probe::Click(dialog, kButtonYes);
    });
    script.Then([](HWND dialog) { probe::Click(dialog, kButtonExit); });
    RunMessageLoop();
    EXPECT_TRUE(answer);
    EXPECT_EQ(script.Shown(), 2);
    EXPECT_EQ(script.Unexpected(), 0);
}

// After the download found data the Start button has the focus: Space starts the run.
TEST(KeyboardFocusTest, SpaceStartsTheRunOnceTheButtonIsEnabled) {
    FakeWorld world;
    world.Downloads = {Data("", ""), Data("Version 01.02.03", "")};
    MainWindow window(world.Services());
    window.Show(SW_SHOWNORMAL);
    const HWND main = window.Handle();
    SetForegroundWindow(main);
    SendMessageW(main, WM_TIMER, kTimerDownloadIntelHex, 0);
    const HWND button = GetDlgItem(main, kButtonStartStop);
    ASSERT_TRUE(IsWindowEnabled(button));
    EXPECT_EQ(GetFocus(), button);
    probe::Key(button, VK_SPACE);
    // The keys are queued: run them, bounded so that a lost key fails instead of hanging.
    MSG message;
    for (int i = 0; i < 1000 && world.StartCalls == 0 && GetMessageW(&message, nullptr, 0, 0) > 0;
         ++i) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    EXPECT_EQ(world.StartCalls, 1);
    if (window.Logic().Params().ThreadRunning) {
        window.Logic().UpdateThreadEnded();
    }
}

}  // namespace
