#include <windows.h>

#include <chrono>
#include <thread>

#include "platform/sessionwatch.h"
#include "platform/stoprequest.h"
#include "transport/runinhibitor_win32.h"

namespace veltrin {

namespace {

// Windows waits this long for a forced session end's handlers before it ends the process.
constexpr std::chrono::milliseconds kEndSessionWait{20000};
constexpr wchar_t kClassName[] = L"VeltrinCliSessionWatch";

}  // namespace

// A console program that has loaded user32 gets no log-off or shutdown console events, and a
// message-only window gets no broadcasts: a hidden top-level window on a thread of its own.
struct SessionWatch::State {
    HANDLE Ready = nullptr;
    HWND Window = nullptr;
    DWORD ThreadId = 0;
    std::thread Thread;

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* state = reinterpret_cast<State*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        LRESULT result = 0;
        if (state != nullptr && HandleSessionEndMessage(window, message, wParam, result, [state] {
                RequestStop();
                WaitForRunEnd(kEndSessionWait);
            })) {
            return result;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    void Loop() {
        ThreadId = GetCurrentThreadId();
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kClassName;
        RegisterClassW(&windowClass);
        Window = CreateWindowExW(0, kClassName, L"veltrin-cli", WS_POPUP, 0, 0, 0, 0, nullptr,
                                 nullptr, windowClass.hInstance, nullptr);
        if (Window != nullptr)
            SetWindowLongPtrW(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetEvent(Ready);
        if (Window == nullptr)
            return;
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        DestroyWindow(Window);
    }
};

SessionWatch::SessionWatch() : state_(new State) {
    state_->Ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    state_->Thread = std::thread([this] { state_->Loop(); });
    // The window exists before the first run can take its inhibitor.
    WaitForSingleObject(state_->Ready, INFINITE);
}

SessionWatch::~SessionWatch() {
    PostThreadMessageW(state_->ThreadId, WM_QUIT, 0, 0);
    state_->Thread.join();
    CloseHandle(state_->Ready);
    delete state_;
}

}  // namespace veltrin
