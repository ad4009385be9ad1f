#include "win32ui/modalloop.h"

#include "win32ui/dialogaccessible.h"
#include "win32ui/windowdpi.h"

namespace veltrin::win32ui {

void RunModal(HWND owner, HWND dialog, HWND focus, const bool& done, const DialogShownHook& hook) {
    EnableWindow(owner, FALSE);
    ShowWindow(dialog, SW_SHOW);
    AnnounceDialog(dialog);
    SetForegroundWindow(dialog);
    SetFocus(focus);
    UpdateWindow(dialog);
    if (hook) {
        hook(dialog);
    }
    MSG message;
    while (!done) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got < 0) {
            break;
        }
        if (!IsDialogMessageW(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    // The owner first, so that activation returns to it and not to another program.
    EnableWindow(owner, TRUE);
    ShowWindow(dialog, SW_HIDE);
    SetForegroundWindow(owner);
}

void PlaceBelowRight(HWND owner, HWND window, int offset) {
    RECT ownerRect;
    GetWindowRect(owner, &ownerRect);
    const int scaled = MulDiv(offset, static_cast<int>(WindowDpi(owner)), 96);
    SetWindowPos(window, nullptr, ownerRect.left + scaled, ownerRect.top + scaled, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace veltrin::win32ui

#include "win32ui/scaledlayout.h"

namespace veltrin::win32ui {

void ApplyDpiChange(HWND window, ScaledLayout& layout, WPARAM wParam, LPARAM lParam) {
    layout.Rescale(HIWORD(wParam));
    const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(window, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace veltrin::win32ui
