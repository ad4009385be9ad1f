#pragma once

#include <windows.h>

namespace veltrin::win32ui {

// One top-level window of a registered class whose window procedure forwards to the object:
// each window class has one procedure, and each message its own small handler there.
class WindowBase {
public:
    WindowBase() = default;
    virtual ~WindowBase();
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    HWND Handle() const { return window_; }

protected:
    // Registers the class once per process; the class icon is the program's (resource 1) if it
    // has one.
    static void RegisterClassOnce(const wchar_t* className);
    bool Create(const wchar_t* className, DWORD style, DWORD exStyle, HWND owner);
    void Destroy();

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    bool destroying_ = false;  // the system began to destroy the window
};

}  // namespace veltrin::win32ui
