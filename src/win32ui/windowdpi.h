#pragma once

#include <windows.h>

namespace veltrin::win32ui {

// The DPI a window is laid out for, and the size of its frame at a DPI. Windows 10 1607 and later
// answer both per window; Windows 8.1 knows each monitor's DPI but not the per-DPI frame; Windows
// 7 and 8 know only the system DPI, which is the one every window is drawn at there. The newer
// calls are looked up at run time, so the program starts on all of them and lays itself out
// right on each.
class DpiSupport {
public:
    using GetDpiForWindowCall = UINT(WINAPI*)(HWND);
    using AdjustWindowRectExForDpiCall = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    // shcore's GetDpiForMonitor; the int is a MONITOR_DPI_TYPE.
    using GetDpiForMonitorCall = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

    // What this system has, looked up once.
    static const DpiSupport& OfSystem();
    // A system without any of the newer calls (Windows 7 and 8).
    static DpiSupport WithoutNewerCalls() { return {}; }
    DpiSupport WithoutPerWindowCalls() const;
    // The same with another per-window DPI call: a test moves its windows to another monitor.
    DpiSupport WithWindowDpiCall(GetDpiForWindowCall call) const;

    UINT WindowDpi(HWND window) const;
    // AdjustWindowRectEx at the given DPI: the rectangle grows by the window's frame.
    bool AdjustWindowRect(RECT& rect, DWORD style, DWORD exStyle, UINT dpi) const;

    bool HasPerWindowCalls() const {
        return getDpiForWindow_ != nullptr && adjustWindowRectExForDpi_ != nullptr;
    }
    bool HasMonitorDpi() const { return getDpiForMonitor_ != nullptr; }

private:
    GetDpiForWindowCall getDpiForWindow_ = nullptr;
    AdjustWindowRectExForDpiCall adjustWindowRectExForDpi_ = nullptr;
    GetDpiForMonitorCall getDpiForMonitor_ = nullptr;
};

// The calls the windows use: the system's, unless a test has put in those of an older system.
const DpiSupport& ActiveDpiSupport();
void SetActiveDpiSupport(const DpiSupport& support);

// Shorthands for the windows.
inline UINT WindowDpi(HWND window) {
    return ActiveDpiSupport().WindowDpi(window);
}

}  // namespace veltrin::win32ui
