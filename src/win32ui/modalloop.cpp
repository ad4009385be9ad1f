#include "win32ui/modalloop.h"

#include "win32ui/messageorigin.h"
#include "win32ui/dialogaccessible.h"
#include "win32ui/windowdpi.h"

namespace veltrin::win32ui {
namespace {

// A key that was already down when the dialog opened, and its auto-repeats, belong to what came
// before: held Enter would otherwise answer every dialog that opens while it is held.
class KeysPressedHere {
public:
    // True: the message is dropped.
    bool Swallow(const MSG& message) {
        const bool down = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
        const bool up = message.message == WM_KEYUP || message.message == WM_SYSKEYUP;
        if (!down && !up) {
            return false;
        }
        bool& pressed = pressed_[message.wParam & 0xFF];
        if (up) {
            const bool wasPressed = pressed;
            pressed = false;
            return !wasPressed;
        }
        const bool repeat = (message.lParam & (LPARAM{1} << 30)) != 0;
        if (!repeat) {
            pressed = true;
        }
        return !pressed;
    }

private:
    bool pressed_[256] = {};
};

}  // namespace

void RunModal(HWND owner, HWND dialog, WindowKeys& keys, const bool& done,
              const DialogShownHook& hook) {
    EnableWindow(owner, FALSE);
    keys.Forget();
    ShowWindow(dialog, SW_SHOW);
    AnnounceDialog(dialog);
    SetForegroundWindow(dialog);
    SetFocus(keys.FirstFocus());
    // The focused button shows its focus from the start, not only after the first Tab.
    SendMessageW(dialog, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    UpdateWindow(dialog);
    if (hook) {
        hook(dialog);
    }
    KeysPressedHere held;
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
        if (IsForgedPost(message) || held.Swallow(message) ||
            KeyAnswersNothing(keys.Id(), message)) {
            continue;
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

bool ApplyDpiChange(HWND window, ScaledLayout& layout, LPARAM lParam) {
    // Another program's message carries a pointer into its own memory, or anything at all.
    const UINT dpi = WindowDpi(window);
    if (dpi == layout.Dpi()) {
        return false;
    }
    layout.Rescale(dpi);
    const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
    if (suggested != nullptr && !SentFromAnotherThread()) {
        SetWindowPos(window, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // What was drawn at the old scale (the main window's panel edge) goes too.
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return true;
}

}  // namespace veltrin::win32ui
