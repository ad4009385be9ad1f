#include "win32ui/win32dispatcher.h"

#include <memory>

namespace veltrin::win32ui {

void Win32Dispatcher::RunAndWait(std::function<void()> fn) {
    // Sent from the window's own thread the message calls the procedure directly, so this
    // never waits for itself.
    SendMessageW(window_, kRunMessage, 0, reinterpret_cast<LPARAM>(&fn));
}

void Win32Dispatcher::Post(std::function<void()> fn) {
    auto owned = std::make_unique<std::function<void()>>(std::move(fn));
    if (PostMessageW(window_, kPostMessage, 0, reinterpret_cast<LPARAM>(owned.get()))) {
        // The receiving procedure owns it now.
        owned.release();
    }
}

bool Win32Dispatcher::HandleMessage(UINT message, LPARAM lParam) {
    if (message == kRunMessage) {
        (*reinterpret_cast<std::function<void()>*>(lParam))();
        return true;
    }
    if (message == kPostMessage) {
        std::unique_ptr<std::function<void()>> fn(reinterpret_cast<std::function<void()>*>(lParam));
        (*fn)();
        return true;
    }
    return false;
}

}  // namespace veltrin::win32ui
