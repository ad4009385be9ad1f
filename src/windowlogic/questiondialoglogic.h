#pragma once

#include <optional>
#include <string>

namespace veltrin {

// What the worker's yes/no question shows and how it is left. One instance per dialog, reused
// for every question; each question overwrites the text.
class QuestionDialogLogic {
public:
    static constexpr char kCaption[] = "Confirmation";
    static constexpr char kYesCaption[] = "Yes";
    static constexpr char kNoCaption[] = "No";

    // The ways a user can leave the dialog.
    enum class Exit { YesButton, NoButton, CloseBox, Escape };

    // The text is shown trimmed; it breaks only at its own line breaks.
    void SetMessage(const std::string& text);
    const std::string& Message() const { return message_; }

    // Only the Yes button is a Yes: a closed question must never let an update go ahead.
    static bool IsYes(Exit exit) { return exit == Exit::YesButton; }

    // The keyboard focus is on No when a question opens, and there is no default button:
    // Enter and Space press the focused button, so no single key confirms a question such as
    // the one before user data is deleted; Yes takes Tab first, or the mouse.
    static constexpr Exit kFocusAtOpen = Exit::NoButton;
    // What Enter does, given the button that has the focus (none: neither button has it).
    static Exit EnterPresses(std::optional<Exit> focusedButton);

private:
    std::string message_;
};

}  // namespace veltrin
