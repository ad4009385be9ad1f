#include "win32ui/mainwindow.h"

// Where the main window's keyboard focus goes. The system leaves it on the frame whenever the
// window is activated, after every dialog, where Space and Enter do nothing until Tab is
// pressed; here it goes back to the control that had it, or to Start/Stop.

namespace veltrin::win32ui {

void MainWindow::OnActivate(WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus != nullptr && IsChild(Handle(), focus)) {
            lastFocus_ = focus;
        }
        return;
    }
    FocusControl();
}

void MainWindow::FocusControl() {
    HWND target = lastFocus_;
    if (target == nullptr || !IsWindowEnabled(target) || !IsWindowVisible(target)) {
        target = Button_StartStop;
    }
    if (target == nullptr || !IsWindowEnabled(target)) {
        // Nothing can take it: the frame keeps it, not a control that no longer answers keys.
        const HWND focus = GetFocus();
        if (focus != nullptr && focus != Handle() && !IsWindowEnabled(focus)) {
            SetFocus(Handle());
        }
        return;
    }
    if (GetFocus() != target) {
        SetFocus(target);
    }
}

}  // namespace veltrin::win32ui
