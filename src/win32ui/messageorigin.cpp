#include "win32ui/messageorigin.h"

namespace veltrin::win32ui {

bool SentFromAnotherThread() {
    return InSendMessageEx(nullptr) != ISMEX_NOSEND;
}

bool IsClickOf(HWND button, WPARAM wParam, LPARAM lParam) {
    return button != nullptr && reinterpret_cast<HWND>(lParam) == button &&
           HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == GetDlgCtrlID(button) &&
           IsWindowEnabled(button) && !SentFromAnotherThread();
}

bool IsEscapeCommand(WPARAM wParam, LPARAM lParam) {
    return LOWORD(wParam) == IDCANCEL && HIWORD(wParam) == 0 && lParam == 0 &&
           !SentFromAnotherThread();
}

bool IsForgedPost(const MSG& message) {
    switch (message.message) {
        case WM_COMMAND:
        case WM_DESTROY:
        case WM_NCDESTROY:
        case WM_DPICHANGED:
            return true;
        default:
            return false;
    }
}

}  // namespace veltrin::win32ui
