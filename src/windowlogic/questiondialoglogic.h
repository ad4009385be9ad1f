#pragma once

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

private:
    std::string message_;
};

}  // namespace veltrin
