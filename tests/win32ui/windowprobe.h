#pragma once

#include <windows.h>

#include <commctrl.h>

#include <deque>
#include <functional>
#include <string>

#include "common/widetext_win32.h"
#include "win32ui/controlids.h"
#include "win32ui/mainwindow.h"

// Reading the Win32 windows as a person sees them, and answering their dialogs through the
// same messages a mouse or keyboard would send.
namespace probe {

inline std::string Text(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return veltrin::Utf8FromWide(text);
}

inline std::string Text(HWND parent, int id) {
    return Text(GetDlgItem(parent, id));
}

inline bool Shown(HWND parent, int id) {
    return IsWindowVisible(GetDlgItem(parent, id)) != FALSE;
}

inline bool Enabled(HWND parent, int id) {
    return IsWindowEnabled(GetDlgItem(parent, id)) != FALSE;
}

inline int BarPosition(HWND parent, int id) {
    return static_cast<int>(SendMessageW(GetDlgItem(parent, id), PBM_GETPOS, 0, 0));
}

inline int BarMaximum(HWND parent, int id) {
    return static_cast<int>(SendMessageW(GetDlgItem(parent, id), PBM_GETRANGE, FALSE, 0));
}

// A click as the mouse makes it; queued, so it happens once the dialog's loop runs.
inline void Click(HWND parent, int id) {
    PostMessageW(GetDlgItem(parent, id), BM_CLICK, 0, 0);
}

// A key pressed while the control has the focus.
inline void Key(HWND control, WPARAM key) {
    PostMessageW(control, WM_KEYDOWN, key, 0);
    PostMessageW(control, WM_KEYUP, key, 0);
}

// Answers the dialogs one after another, in the order they appear.
class DialogScript {
public:
    using Answer = std::function<void(HWND dialog)>;

    explicit DialogScript(veltrin::win32ui::MainWindow& window) {
        window.SetDialogShownHook([this](HWND dialog) { OnShown(dialog); });
    }
    void Then(Answer answer) { answers_.push_back(std::move(answer)); }
    int Shown() const { return shown_; }
    int Unexpected() const { return unexpected_; }

private:
    void OnShown(HWND dialog) {
        ++shown_;
        if (answers_.empty()) {
            // Never hang: leave the dialog the way that always works, and count it.
            ++unexpected_;
            const bool question = GetDlgItem(dialog, veltrin::win32ui::kButtonNo) != nullptr;
            Click(dialog, question ? veltrin::win32ui::kButtonNo : veltrin::win32ui::kButtonExit);
            return;
        }
        Answer answer = std::move(answers_.front());
        answers_.pop_front();
        answer(dialog);
    }

    std::deque<Answer> answers_;
    int shown_ = 0;
    int unexpected_ = 0;
};

}  // namespace probe
