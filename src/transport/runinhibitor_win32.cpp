#include "transport/runinhibitor_win32.h"

#include <atomic>
#include <memory>
#include <string>

#include "transport/runinhibitor.h"

namespace veltrin {

namespace {

std::atomic<int> heldCount{0};

UINT InhibitorChangedMessage() {
    static const UINT message = RegisterWindowMessageW(L"Veltrin.RunInhibitorChanged");
    return message;
}

BOOL CALLBACK NotifyOwnWindow(HWND window, LPARAM) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && GetWindow(window, GW_OWNER) == nullptr)
        PostMessageW(window, InhibitorChangedMessage(), 0, 0);
    return TRUE;
}

// Every top-level window of this process names the reason or drops it, on its own thread.
void NotifyOwnWindows() {
    EnumWindows(NotifyOwnWindow, 0);
}

std::wstring Wide(const char* text) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring wide(n > 0 ? n : 1, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), n);
    wide.resize(wide.size() - 1);
    return wide;
}

// The execution state belongs to the thread that set it: the run's worker takes and drops this
// object, and lives for the whole run.
class SessionInhibitor final : public RunInhibitor {
public:
    SessionInhibitor() {
        SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);
        ++heldCount;
        NotifyOwnWindows();
    }
    ~SessionInhibitor() override {
        --heldCount;
        NotifyOwnWindows();
        SetThreadExecutionState(ES_CONTINUOUS);
    }
    SessionInhibitor(const SessionInhibitor&) = delete;
    SessionInhibitor& operator=(const SessionInhibitor&) = delete;
};

}  // namespace

int AcquireRunInhibitor(std::unique_ptr<RunInhibitor>& inhibitor, std::string& problem) {
    problem.clear();
    inhibitor = std::make_unique<SessionInhibitor>();
    return 0;
}

bool RunInhibitorHeld() {
    return heldCount.load() > 0;
}

bool HandleSessionEndMessage(HWND window, UINT message, WPARAM wParam, LRESULT& result,
                             const std::function<void()>& stopRun) {
    if (message == InhibitorChangedMessage()) {
        if (RunInhibitorHeld()) {
            static const std::wstring reason = Wide(kRunInhibitReason);
            ShutdownBlockReasonCreate(window, reason.c_str());
        } else {
            ShutdownBlockReasonDestroy(window);
        }
        result = 0;
        return true;
    }
    if (message == WM_QUERYENDSESSION) {
        // FALSE keeps the session while a pipette is written; Windows shows the reason.
        result = RunInhibitorHeld() ? FALSE : TRUE;
        return true;
    }
    if (message == WM_ENDSESSION) {
        // Forced: the process ends when this returns, so the run ends through its record first.
        if (wParam != FALSE && RunInhibitorHeld())
            stopRun();
        result = 0;
        return true;
    }
    return false;
}

}  // namespace veltrin
