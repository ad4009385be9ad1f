#pragma once

#include <windows.h>

#include <cstdlib>
#include <string>

#include "win32ui/windowdpi.h"

// The Windows a window test plays. with-display.sh sets the Wine prefix to the version that
// VELTRIN_TEST_WINDOWS names and to the system DPI that VELTRIN_TEST_DPI names. Wine has the newer
// DPI calls whatever version it reports, so a test of Windows 7 takes them away as that system
// has none.
namespace tested {

inline std::string Windows() {
    const char* version = std::getenv("VELTRIN_TEST_WINDOWS");
    return version != nullptr && *version != '\0' ? version : "win10";
}

inline UINT SystemDpi() {
    const char* dpi = std::getenv("VELTRIN_TEST_DPI");
    return dpi != nullptr && *dpi != '\0' ? static_cast<UINT>(std::atoi(dpi)) : 96;
}

// Called by each window test's main before any window exists.
inline void PlayTestedWindows() {
    if (Windows() == "win7") {
        veltrin::win32ui::SetActiveDpiSupport(veltrin::win32ui::DpiSupport::WithoutNewerCalls());
    }
}

// A move of the windows onto a monitor of another DPI: the windows read their DPI from the
// system, not from WM_DPICHANGED, so the test makes the system answer dpi for every window (0:
// the real DPI again) before it sends the message as Windows would.
inline const veltrin::win32ui::DpiSupport& RealDpiSupport() {
    static const veltrin::win32ui::DpiSupport real = veltrin::win32ui::ActiveDpiSupport();
    return real;
}
inline UINT& PlayedMonitorDpi() {
    static UINT dpi = 0;
    return dpi;
}
inline UINT WINAPI PlayedWindowDpi(HWND window) {
    return PlayedMonitorDpi() != 0 ? PlayedMonitorDpi() : RealDpiSupport().WindowDpi(window);
}
inline void PlayMonitorDpi(UINT dpi) {
    veltrin::win32ui::SetActiveDpiSupport(RealDpiSupport().WithWindowDpiCall(&PlayedWindowDpi));
    PlayedMonitorDpi() = dpi;
}

}  // namespace tested
