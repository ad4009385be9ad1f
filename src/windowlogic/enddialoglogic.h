#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "report/endtexts.h"

namespace veltrin {

struct TextColor {
    std::uint8_t Red = 0;
    std::uint8_t Green = 0;
    std::uint8_t Blue = 0;
    friend bool operator==(const TextColor&, const TextColor&) = default;
};

// What the end-of-update dialog shows for a run and what each way out of it means. The words
// themselves come from the shared end texts, so the command-line front end says the same.
class EndDialogLogic {
public:
    // The dialog's results, which become the main window's next action.
    static constexpr int kResultStart = 1;
    static constexpr int kResultExit = 2;

    static constexpr TextColor kRed{255, 0, 0};
    static constexpr TextColor kGreen{0, 128, 0};
    static constexpr char kExitCaption[] = "Exit Program";
    static constexpr char kStartCaptionAtCreation[] = "Update next device";

    // How the status line sits in its box: an error keeps it at the top, where the error line
    // below does not cover it.
    enum class StatusPlacement { Centred, TopLeft };

    enum class Exit { StartButton, ExitButton, CloseRequest, Escape };

    // Fills everything anew from one run's outcome; nothing carries over from the run before.
    void ShowResult(bool terminated, int code, const std::string& text);

    const EndTexts& Texts() const { return texts_; }
    TextColor StatusColor() const;
    StatusPlacement StatusLayout() const;
    static TextColor ErrorTextColor() { return kRed; }

    // The result a way out gives, or none when the dialog must stay open: it has no close box,
    // and a run must end in a choice between the next device and leaving.
    static std::optional<int> ResultOf(Exit exit);

private:
    EndTexts texts_;
};

}  // namespace veltrin
