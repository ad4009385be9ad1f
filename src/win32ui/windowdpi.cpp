#include "win32ui/windowdpi.h"

namespace veltrin::win32ui {
namespace {

constexpr UINT kDefaultDpi = 96;
constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

template <typename Call>
Call Lookup(const wchar_t* module, const char* name) {
    // user32 is always loaded; shcore (Windows 8.1 and later) is loaded on first use and stays,
    // as the system keeps it loaded for every DPI-aware program anyway.
    HMODULE handle = GetModuleHandleW(module);
    if (handle == nullptr) {
        handle = LoadLibraryExW(module, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    if (handle == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(handle, name)));
}

UINT SystemDpi() {
    HDC screen = GetDC(nullptr);
    if (screen == nullptr) {
        return kDefaultDpi;
    }
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : kDefaultDpi;
}

DpiSupport& Active() {
    static DpiSupport active = DpiSupport::OfSystem();
    return active;
}

}  // namespace

const DpiSupport& DpiSupport::OfSystem() {
    static const DpiSupport system = [] {
        DpiSupport calls;
        calls.getDpiForWindow_ = Lookup<GetDpiForWindowCall>(L"user32.dll", "GetDpiForWindow");
        calls.adjustWindowRectExForDpi_ =
            Lookup<AdjustWindowRectExForDpiCall>(L"user32.dll", "AdjustWindowRectExForDpi");
        calls.getDpiForMonitor_ = Lookup<GetDpiForMonitorCall>(L"shcore.dll", "GetDpiForMonitor");
        return calls;
    }();
    return system;
}

DpiSupport DpiSupport::WithoutPerWindowCalls() const {
    DpiSupport calls = *this;
    calls.getDpiForWindow_ = nullptr;
    calls.adjustWindowRectExForDpi_ = nullptr;
    return calls;
}

DpiSupport DpiSupport::WithWindowDpiCall(GetDpiForWindowCall call) const {
    DpiSupport calls = *this;
    calls.getDpiForWindow_ = call;
    return calls;
}

UINT DpiSupport::WindowDpi(HWND window) const {
    if (getDpiForWindow_ != nullptr) {
        const UINT dpi = getDpiForWindow_(window);
        if (dpi != 0) {
            return dpi;
        }
    }
    if (getDpiForMonitor_ != nullptr) {
        UINT x = 0;
        UINT y = 0;
        HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
        if (monitor != nullptr && SUCCEEDED(getDpiForMonitor_(monitor, kEffectiveDpi, &x, &y)) &&
            y != 0) {
            return y;
        }
    }
    return SystemDpi();
}

bool DpiSupport::AdjustWindowRect(RECT& rect, DWORD style, DWORD exStyle, UINT dpi) const {
    if (adjustWindowRectExForDpi_ != nullptr) {
        return adjustWindowRectExForDpi_(&rect, style, FALSE, exStyle, dpi) != FALSE;
    }
    // Without per-DPI frames the system draws every frame at the system DPI, and this is its size.
    return AdjustWindowRectEx(&rect, style, FALSE, exStyle) != FALSE;
}

const DpiSupport& ActiveDpiSupport() {
    return Active();
}

void SetActiveDpiSupport(const DpiSupport& support) {
    Active() = support;
}

}  // namespace veltrin::win32ui
