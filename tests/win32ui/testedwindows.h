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

}  // namespace tested
