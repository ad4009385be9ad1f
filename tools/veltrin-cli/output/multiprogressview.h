#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace veltrin {

// The progress of several devices updated at once. On a terminal one line per device (port,
// overall bar, action or end state), redrawn in place with cursor moves; otherwise plain lines
// tagged with the port: titles, actions, every tenth of the overall progress ("overall 40%") and
// the end. Once a device's application is started its bar stays full, as in ProgressView.
class MultiProgressView {
public:
    MultiProgressView(std::ostream& out, bool terminal, std::vector<std::string> ports);

    void SetTotalMax(std::size_t device, std::int32_t value);
    void SetTotalPosition(std::size_t device, std::int32_t value);
    void StepTotal(std::size_t device, std::int32_t value);
    void ShowTitle(std::size_t device, const std::string& text);
    void ShowAction(std::size_t device, const std::string& text);
    // The end state stays on the device's line: a full bar after a success (the bar starts over
    // after the last restart, which says nothing about the outcome), no bar otherwise.
    void ShowEnd(std::size_t device, const std::string& text, bool succeeded);
    // A message for people while the lines are drawn: on a terminal the block is taken away,
    // the message written to stream (the block's own stream or another on the same terminal)
    // and the block drawn again below it, so no message ever lands inside the block.
    void Message(std::ostream& stream, const std::string& text);

    // The line of one device as a terminal shows it.
    std::string Line(std::size_t device) const;

private:
    struct Device {
        std::string Port;
        std::int64_t TotalMax = 100;
        std::int64_t TotalPosition = 0;
        std::string Title;
        std::string Action;
        std::string End;
        bool Succeeded = false;
        bool WritingDone = false;
        int PrintedTenth = 0;
    };

    void Changed(std::size_t device);
    static int OverallPercent(const Device& device);
    void Redraw();

    std::ostream& out_;
    bool terminal_;
    std::vector<Device> devices_;
    std::vector<std::string> drawn_;  // the lines on screen; empty: nothing drawn yet
    std::size_t portWidth_ = 0;
};

}  // namespace veltrin
