#include "win32ui/windowbase.h"

#include "win32ui/exceptiondisplay.h"
#include "win32ui/messageorigin.h"

namespace veltrin::win32ui {

WindowBase::~WindowBase() {
    Destroy();
}

void WindowBase::RegisterClassOnce(const wchar_t* className) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(instance, className, &existing)) {
        return;
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &WindowBase::Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = className;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.hIconSm = windowClass.hIcon;
    RegisterClassExW(&windowClass);
}

bool WindowBase::Create(const wchar_t* className, DWORD style, DWORD exStyle, HWND owner) {
    RegisterClassOnce(className);
    window_ = CreateWindowExW(exStyle, className, L"", style, CW_USEDEFAULT, CW_USEDEFAULT, 100,
                              100, owner, nullptr, GetModuleHandleW(nullptr), this);
    return window_ != nullptr;
}

void WindowBase::Destroy() {
    if (window_ != nullptr) {
        HWND window = window_;
        DestroyWindow(window);
        window_ = nullptr;
    }
}

LRESULT WindowBase::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT CALLBACK WindowBase::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<WindowBase*>(create->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || self->window_ != window) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_DESTROY || message == WM_NCDESTROY) {
        // Only the system's own destruction of the window counts: it comes on this thread,
        // WM_DESTROY first. One sent by another program would detach the window from its
        // object, which then could no longer refuse a close during a run.
        if (SentFromAnotherThread()) {
            return 0;
        }
        if (message == WM_DESTROY) {
            self->destroying_ = true;
        } else if (!self->destroying_) {
            return 0;
        }
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    // Caught here, where the message loop of whichever (modal) loop runs goes on afterwards.
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        ShowException(CurrentExceptionText());
        return 0;
    }
}

}  // namespace veltrin::win32ui
