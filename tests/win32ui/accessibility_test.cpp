// The windows as a screen reader hears them: every control through its accessible object
// (oleacc, as a screen reader asks for it), its name the text on screen; the dialogs exposed as
// dialogs with their message as description and announced when they open; the progress bars and
// the action line announced when they change.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>

#include <chrono>
#include <iostream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/widetext_win32.h"
#include "fakeworld.h"
#include "testedwindows.h"
#include "win32ui/controlids.h"
#include "win32ui/mainwindow.h"
#include "windowprobe.h"

namespace {

using namespace veltrin::win32ui;

// Written out: MinGW's import library answers E_NOINTERFACE for its own IID_IAccessible.
constexpr GUID kIidAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

struct Heard {
    bool found = false;
    long role = 0;
    std::string name;
    std::string value;
    std::string description;
};

std::string Take(BSTR text) {
    std::string utf8 = text == nullptr ? "" : veltrin::Utf8FromWide(std::wstring(text));
    SysFreeString(text);
    return utf8;
}

// What a screen reader gets for window's client area.
Heard Hear(HWND window) {
    Heard heard;
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible,
                                          reinterpret_cast<void**>(&object))) ||
        object == nullptr) {
        return heard;
    }
    heard.found = true;
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT role;
    VariantInit(&role);
    if (SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4) {
        heard.role = role.lVal;
    }
    BSTR text = nullptr;
    if (object->get_accName(self, &text) == S_OK) {
        heard.name = Take(text);
    }
    text = nullptr;
    if (object->get_accValue(self, &text) == S_OK) {
        heard.value = Take(text);
    }
    text = nullptr;
    if (object->get_accDescription(self, &text) == S_OK) {
        heard.description = Take(text);
    }
    object->Release();
    return heard;
}

// Every visible control with a text is named by it.
void ExpectNamedByTheirText(HWND window, const std::string& what) {
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const std::string text = probe::Text(child);
        if (!IsWindowVisible(child) || text.empty()) {
            continue;
        }
        const Heard heard = Hear(child);
        EXPECT_TRUE(heard.found) << what << ": control " << GetDlgCtrlID(child);
        EXPECT_EQ(heard.name, text) << what << ": control " << GetDlgCtrlID(child);
    }
}

// The events screen readers listen to, as this process raises them.
class EventEar {
public:
    EventEar() {
        ear_ = this;
        hook_ = SetWinEventHook(EVENT_SYSTEM_DIALOGSTART, EVENT_OBJECT_VALUECHANGE, nullptr, &Hook,
                                GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    }
    ~EventEar() {
        UnhookWinEvent(hook_);
        ear_ = nullptr;
    }
    EventEar(const EventEar&) = delete;
    EventEar& operator=(const EventEar&) = delete;

    bool Hooked() const { return hook_ != nullptr; }
    void Forget() { heard_.clear(); }
    bool Heard(DWORD event, HWND window) const {
        for (const auto& [e, w] : heard_) {
            if (e == event && w == window) {
                return true;
            }
        }
        return false;
    }
    // Waits, the message loop running, until event for window has come; false after 10 s.
    bool WaitFor(DWORD event, HWND window) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!Heard(event, window) && std::chrono::steady_clock::now() < deadline) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            if (!Heard(event, window)) {
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
            }
        }
        return Heard(event, window);
    }

private:
    static void CALLBACK Hook(HWINEVENTHOOK, DWORD event, HWND window, LONG, LONG, DWORD, DWORD) {
        if (ear_ != nullptr) {
            ear_->heard_.emplace_back(event, window);
        }
    }

    static inline EventEar* ear_ = nullptr;
    HWINEVENTHOOK hook_ = nullptr;
    std::vector<std::pair<DWORD, HWND>> heard_;
};

class AccessibilityTest : public ::testing::Test {
protected:
    void Open() {
        window = std::make_unique<MainWindow>(world.Services());
        ASSERT_NE(window->Handle(), nullptr);
        window->Show(SW_SHOWNORMAL);
        main = window->Handle();
        script = std::make_unique<probe::DialogScript>(*window);
    }
    void TearDown() override {
        if (window && world.LastWorker() != nullptr && window->Logic().Params().ThreadRunning) {
            window->Logic().UpdateThreadEnded();
        }
        window.reset();
    }

    FakeWorld world;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<probe::DialogScript> script;
    HWND main = nullptr;
};

TEST_F(AccessibilityTest, MainWindowWithoutData) {
    Open();
    const Heard frame = Hear(main);
    EXPECT_TRUE(frame.found);
    EXPECT_EQ(frame.name, probe::Text(main));
    EXPECT_EQ(Hear(GetDlgItem(main, kButtonStartStop)).name, "Start Update");
    EXPECT_EQ(Hear(GetDlgItem(main, kLabelMessage)).name,
              "No data found for update.\nPlease check your internet connection.");
    ExpectNamedByTheirText(main, "main window without data");
}

// During a run the bars and the action line are heard as they change.
TEST_F(AccessibilityTest, MainWindowDuringARun) {
    world.Downloads = {Data("Version 01.02.03", "Version 02.00.01")};
    Open();
    ASSERT_TRUE(window->Logic().Params().ThreadRunning);
    ExpectNamedByTheirText(main, "main window during a run");
    EXPECT_EQ(Hear(GetDlgItem(main, kLabelQuorvanOtgVersion)).name, "Version 01.02.03");

    EventEar ear;
    ASSERT_TRUE(ear.Hooked());
    veltrin::TSThreadParams params;
    params.EventText = "Update module 3/12";
    window->Logic().ThreadShowAction(params);
    const HWND action = GetDlgItem(main, kLabelAction);
    EXPECT_TRUE(ear.WaitFor(EVENT_OBJECT_NAMECHANGE, action));
    EXPECT_EQ(Hear(action).name, "Update module 3/12");

    params.EventValue = 12;
    window->Logic().ThreadSetActionMax(params);
    params.EventValue = 3;
    window->Logic().ThreadSetActionPosition(params);
    const HWND bar = GetDlgItem(main, kProgressBarAction);
    EXPECT_TRUE(ear.WaitFor(EVENT_OBJECT_VALUECHANGE, bar));
    const Heard heard = Hear(bar);
    EXPECT_TRUE(heard.found);
    std::cout << "progress bar heard as role " << heard.role << ", value \"" << heard.value
              << "\"\n";

    params.EventValue = 4;
    window->Logic().ThreadSetTotalMax(params);
    window->Logic().ThreadStepTotal(params);
    EXPECT_TRUE(ear.WaitFor(EVENT_OBJECT_VALUECHANGE, GetDlgItem(main, kProgressBarTotal)));
}

TEST_F(AccessibilityTest, QuestionDialogIsHeardAsADialogWithItsMessage) {
    const std::string question =
        "! Adjustments and other user data will be deleted.\n\nStart Update?";
    world.Downloads = {Data("Version 01.02.03", "Version 02.00.01")};
    world.WorkerScript = [&question](ScriptedWorker& worker) {
        worker.Ask(question);
        worker.ReportEnd(0, "Quorvan/plus Version 01.02.03");
    };
    EventEar ear;
    ASSERT_TRUE(ear.Hooked());
    Open();
    HWND asked = nullptr;
    script->Then([&](HWND dialog) {
        asked = dialog;
        const Heard heard = Hear(dialog);
        EXPECT_EQ(heard.role, ROLE_SYSTEM_DIALOG);
        EXPECT_EQ(heard.name, "Confirmation");
        EXPECT_EQ(heard.description, question);
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, kButtonNo));
        EXPECT_EQ(Hear(GetFocus()).name, "No");
        ExpectNamedByTheirText(dialog, "question");
        probe::Click(dialog, kButtonNo);
    });
    script->Then([](HWND dialog) { probe::Click(dialog, kButtonExit); });
    RunMessageLoop();
    EXPECT_EQ(script->Unexpected(), 0);
    ASSERT_NE(asked, nullptr);
    EXPECT_TRUE(ear.Heard(EVENT_SYSTEM_DIALOGSTART, asked));
}

// Every outcome: the end dialog says its caption, its result and its hint.
TEST_F(AccessibilityTest, EndDialogIsHeardAsADialogWithItsResult) {
    struct Case {
        bool cancel;
        int code;
        std::string text;
    };
    const Case cases[] = {{true, 14, ""},
                          {false, 0, "Quorvan/plus Version 01.02.03"},
                          {false, 2, ""},
                          {false, 6, ""}};
    for (const Case& c : cases) {
        TearDown();
        world.Downloads = {Data("Version 01.02.03", "Version 02.00.01")};
        world.WorkerScript = [c](ScriptedWorker& worker) {
            if (c.cancel) {
                worker.Terminate();
            }
            worker.ReportEnd(c.code, c.text);
        };
        EventEar ear;
        ASSERT_TRUE(ear.Hooked());
        Open();
        HWND shown = nullptr;
        script->Then([&](HWND dialog) {
            shown = dialog;
            const Heard heard = Hear(dialog);
            const std::string what = "code " + std::to_string(c.code);
            EXPECT_EQ(heard.role, ROLE_SYSTEM_DIALOG) << what;
            EXPECT_EQ(heard.name, probe::Text(dialog)) << what;
            // Read top to bottom: the status, the error under it, the hint.
            std::string message;
            for (int id : {kLabelStatus, kLabelErrorText, kLabelMessageStart}) {
                const std::string text = probe::Text(dialog, id);
                if (!text.empty() && probe::Shown(dialog, id)) {
                    message += (message.empty() ? "" : "\n") + text;
                }
            }
            EXPECT_EQ(heard.description, message) << what;
            EXPECT_NE(heard.description, "") << what;
            ExpectNamedByTheirText(dialog, "end dialog, " + what);
            EXPECT_EQ(Hear(GetFocus()).name, probe::Text(GetFocus())) << what;
            probe::Click(dialog, kButtonExit);
        });
        RunMessageLoop();
        EXPECT_EQ(script->Unexpected(), 0);
        ASSERT_NE(shown, nullptr);
        EXPECT_TRUE(ear.Heard(EVENT_SYSTEM_DIALOGSTART, shown));
    }
}

}  // namespace

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    tested::PlayTestedWindows();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
