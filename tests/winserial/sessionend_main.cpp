// Ends the Windows session for one program the way Windows does when the user picks "shut down
// anyway" while the program blocks the end: WM_QUERYENDSESSION (whose refusal no longer counts),
// then WM_ENDSESSION with TRUE to each of its top-level windows, and the process is ended once
// its handlers have returned. Wine's own `wineboot --end-session` cannot do this: a refusal
// always stops it, and its --force is not acted upon.
//
//   session-end.exe CLASS   the program is the one owning a top-level window of CLASS
// Exit 0 when the windows were found, refused the query, and returned from WM_ENDSESSION (or
// their process ended) within the time Windows gives them; otherwise 1.
#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

constexpr DWORD kQueryWaitMs = 5000;
// A forced end waits for the handlers; this bounds a hanging one.
constexpr DWORD kEndWaitMs = 60000;

struct Search {
    const char* ClassName;
    DWORD ProcessId = 0;
    std::vector<HWND> Windows;
};

BOOL CALLBACK FindProcess(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    char name[128] = {};
    if (GetClassNameA(window, name, sizeof(name)) > 0 && lstrcmpA(name, search->ClassName) == 0) {
        GetWindowThreadProcessId(window, &search->ProcessId);
        return FALSE;
    }
    return TRUE;
}

// Windows tells every top-level window of the process.
BOOL CALLBACK Collect(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == search->ProcessId)
        search->Windows.push_back(window);
    return TRUE;
}

struct Pending {
    int Left = 0;
};

void CALLBACK Answered(HWND, UINT, ULONG_PTR data, LRESULT) {
    --reinterpret_cast<Pending*>(data)->Left;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: session-end.exe CLASS\n");
        return 64;
    }
    Search search{argv[1], 0, {}};
    EnumWindows(FindProcess, reinterpret_cast<LPARAM>(&search));
    if (search.ProcessId != 0)
        EnumWindows(Collect, reinterpret_cast<LPARAM>(&search));
    if (search.Windows.empty()) {
        std::fprintf(stderr, "no top-level window of class %s\n", argv[1]);
        return 1;
    }
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, search.ProcessId);
    if (process == nullptr) {
        std::fprintf(stderr, "cannot open process %lu\n", search.ProcessId);
        return 1;
    }
    bool refused = false;
    for (HWND window : search.Windows) {
        DWORD_PTR answer = TRUE;
        if (SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, kQueryWaitMs,
                                &answer) != 0 &&
            answer == FALSE) {
            refused = true;
        }
    }
    Pending pending{static_cast<int>(search.Windows.size())};
    for (HWND window : search.Windows) {
        if (!SendMessageCallbackW(window, WM_ENDSESSION, TRUE, 0, Answered,
                                  reinterpret_cast<ULONG_PTR>(&pending))) {
            --pending.Left;
        }
    }
    // Tells the test that the device may go on: the run is to meet the stop at its next check
    // point.
    std::printf("sent\n");
    std::fflush(stdout);
    // The callbacks come as messages to this thread; the process may also end by itself.
    bool ended = false;
    const DWORD start = GetTickCount();
    while (pending.Left > 0 && !ended) {
        const DWORD spent = GetTickCount() - start;
        if (spent >= kEndWaitMs)
            break;
        const DWORD wait =
            MsgWaitForMultipleObjects(1, &process, FALSE, kEndWaitMs - spent, QS_ALLINPUT);
        if (wait == WAIT_OBJECT_0) {
            ended = true;
        } else if (wait == WAIT_OBJECT_0 + 1) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&message);
        } else {
            break;
        }
    }
    const bool handled = ended || pending.Left == 0;
    // As Windows does once the handlers have returned.
    if (!ended)
        TerminateProcess(process, 1);
    CloseHandle(process);
    if (!refused)
        std::fprintf(stderr, "the program did not refuse the end of the session\n");
    if (!handled)
        std::fprintf(stderr, "WM_ENDSESSION was not handled within %lu ms\n", kEndWaitMs);
    return refused && handled ? 0 : 1;
}
