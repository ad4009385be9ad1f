#include "win32ui/scaledwindow.h"

#include "win32ui/modalloop.h"

namespace veltrin::win32ui {

LRESULT ScaledWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DRAWITEM:
            if (labels_ && labels_->Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) {
                return TRUE;
            }
            break;
        case WM_DPICHANGED:
            if (layout_) {
                if (ApplyDpiChange(Handle(), *layout_, lParam) && labels_) {
                    labels_->Refit();
                }
                return 0;
            }
            break;
        default:
            break;
    }
    return WindowBase::HandleMessage(message, wParam, lParam);
}

}  // namespace veltrin::win32ui
