#include "win32ui/windowkeys.h"

namespace veltrin::win32ui {
namespace {

std::optional<WindowKey> KeyOf(WPARAM virtualKey) {
    switch (virtualKey) {
        case VK_RETURN:
            return WindowKey::Enter;
        case VK_SPACE:
            return WindowKey::Space;
        case VK_ESCAPE:
            return WindowKey::Escape;
        default:
            return std::nullopt;
    }
}

bool Usable(HWND control) {
    return control != nullptr && IsWindowEnabled(control) && IsWindowVisible(control);
}

}  // namespace

WindowKeys::WindowKeys(HWND window, FormControl id, ControlLookup controlOf)
    : window_(window), id_(id), controlOf_(std::move(controlOf)) {
    for (HWND child = GetWindow(window_, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        SetWindowLongPtrW(child, GWL_STYLE, GetWindowLongPtrW(child, GWL_STYLE) & ~WS_TABSTOP);
    }
    HWND previous = nullptr;
    for (const FormControl control : KeyboardOf(id_).TabOrder) {
        const HWND stop = controlOf_(control);
        SetWindowLongPtrW(stop, GWL_STYLE, GetWindowLongPtrW(stop, GWL_STYLE) | WS_TABSTOP);
        if (previous != nullptr) {
            SetWindowPos(stop, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        previous = stop;
    }
}

void WindowKeys::Forget() {
    lastFocus_ = nullptr;
    // The dialog manager moves the default look along with the focus: from the last showing a
    // button other than the first focus could still look like the one Enter presses.
    const WindowKeyboard& keyboard = KeyboardOf(id_);
    for (const FormControl control : keyboard.TabOrder) {
        const bool first =
            control == keyboard.FirstFocus && keyboard.Enter == KeyAnswer::PressFocused;
        SendMessageW(controlOf_(control), BM_SETSTYLE, first ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON,
                     TRUE);
    }
}

HWND WindowKeys::FirstFocus() const {
    return controlOf_(KeyboardOf(id_).FirstFocus);
}

std::optional<FormControl> WindowKeys::Focused() const {
    const HWND focus = GetFocus();
    for (const FormControl control : KeyboardOf(id_).TabOrder) {
        if (focus != nullptr && controlOf_(control) == focus) {
            return control;
        }
    }
    return std::nullopt;
}

LRESULT WindowKeys::DefaultId() const {
    const std::optional<FormControl> button = ButtonPressedBy(id_, WindowKey::Enter, Focused());
    if (!button) {
        return 0;
    }
    return MAKELRESULT(GetDlgCtrlID(controlOf_(*button)), DC_HASDEFID);
}

void WindowKeys::OnActivate(WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window_, focus)) {
            lastFocus_ = focus;
        }
        return;
    }
    FocusControl();
}

void WindowKeys::FocusControl() {
    HWND target = Usable(lastFocus_) ? lastFocus_ : FirstFocus();
    if (!Usable(target)) {
        const HWND focus = GetFocus();
        if (focus != nullptr && focus != window_ && !IsWindowEnabled(focus)) {
            SetFocus(window_);
        }
        return;
    }
    if (GetFocus() != target) {
        SetFocus(target);
    }
}

bool KeyAnswersNothing(FormControl window, const MSG& message) {
    // Dropping the key's down and up also keeps TranslateMessage from making a character of it.
    if (message.message != WM_KEYDOWN && message.message != WM_KEYUP) {
        return false;
    }
    const std::optional<WindowKey> key = KeyOf(message.wParam);
    return key && AnswerOf(window, *key) == KeyAnswer::Nothing;
}

bool WindowKeys::HandleFocusMessage(UINT message, WPARAM wParam, LRESULT& result) {
    if (message == WM_ACTIVATE) {
        OnActivate(wParam);
    } else if (message == WM_SETFOCUS) {
        FocusControl();
    } else {
        return false;
    }
    result = 0;
    return true;
}

}  // namespace veltrin::win32ui
