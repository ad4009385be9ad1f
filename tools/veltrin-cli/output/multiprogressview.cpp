#include "output/multiprogressview.h"

#include <algorithm>

#include "common/printabletext.h"
#include "common/texttrim.h"
#include "engine/devicerestart.h"
#include "output/progressview.h"

namespace veltrin {

namespace {

constexpr int kBarWidth = 24;
constexpr std::size_t kTextWidth = 44;

std::string Cut(const std::string& text, std::size_t width) {
    return text.size() <= width ? text : text.substr(0, width - 3) + "...";
}

}  // namespace

MultiProgressView::MultiProgressView(std::ostream& out, bool terminal,
                                     std::vector<std::string> ports)
    : out_(out), terminal_(terminal) {
    for (auto& port : ports) {
        portWidth_ = std::max(portWidth_, port.size());
        Device device;
        device.Port = std::move(port);
        devices_.push_back(std::move(device));
    }
}

void MultiProgressView::SetTotalMax(std::size_t device, std::int32_t value) {
    devices_.at(device).TotalMax = value;
    Changed(device);
}

void MultiProgressView::SetTotalPosition(std::size_t device, std::int32_t value) {
    devices_.at(device).TotalPosition = value;
    Changed(device);
}

void MultiProgressView::StepTotal(std::size_t device, std::int32_t value) {
    devices_.at(device).TotalPosition += value;
    Changed(device);
}

void MultiProgressView::ShowTitle(std::size_t device, const std::string& text) {
    Device& d = devices_.at(device);
    const std::string title = PrintableText(TrimText(text));
    if (title.empty() || title == d.Title)
        return;
    d.Title = title;
    if (!terminal_)
        out_ << '[' << d.Port << "] " << title << '\n';
    Changed(device);
}

void MultiProgressView::ShowAction(std::size_t device, const std::string& text) {
    Device& d = devices_.at(device);
    const std::string action = PrintableText(TrimText(text));
    if (action == d.Action)
        return;
    d.Action = action;
    if (action == kStartApplicationAction)
        d.WritingDone = true;
    if (!terminal_ && !action.empty())
        out_ << '[' << d.Port << "]   " << action << '\n';
    Changed(device);
}

void MultiProgressView::ShowEnd(std::size_t device, const std::string& text, bool succeeded) {
    Device& d = devices_.at(device);
    d.End = PrintableText(text);
    d.Succeeded = succeeded;
    if (!terminal_)
        out_ << '[' << d.Port << "] " << d.End << '\n';
    Changed(device);
}

void MultiProgressView::Message(std::ostream& stream, const std::string& text) {
    if (terminal_ && !drawn_.empty()) {
        // Up to the block's first line and clear from there to the end of the screen.
        out_ << "\x1b[" << drawn_.size() << "A\r\x1b[J";
        out_.flush();
        drawn_.clear();
    }
    stream << text << '\n';
    stream.flush();
    if (terminal_)
        Redraw();
}

std::string MultiProgressView::Line(std::size_t device) const {
    const Device& d = devices_.at(device);
    std::string line = d.Port + std::string(portWidth_ - d.Port.size(), ' ');
    if (!d.End.empty() && !d.Succeeded)
        return line + "  " + Cut(d.End, kBarWidth + 8 + kTextWidth);
    const int percent = !d.End.empty() ? 100 : OverallPercent(d);
    const int filled = percent * kBarWidth / 100;
    line += " [" + std::string(static_cast<std::size_t>(filled), '#') +
            std::string(static_cast<std::size_t>(kBarWidth - filled), '.') + "] ";
    const std::string percentText = std::to_string(percent) + "%";
    line += std::string(4 - std::min<std::size_t>(4, percentText.size()), ' ') + percentText + "  ";
    line += Cut(!d.End.empty() ? d.End : !d.Action.empty() ? d.Action : d.Title, kTextWidth);
    return line;
}

void MultiProgressView::Changed(std::size_t device) {
    if (terminal_) {
        Redraw();
        return;
    }
    Device& d = devices_.at(device);
    // Only growth is worth a line; a bar that moves back (a new maximum) is followed quietly.
    const int tenth = OverallPercent(d) / 10;
    if (tenth > d.PrintedTenth && d.End.empty())
        out_ << '[' << d.Port << "] overall " << tenth * 10 << "%\n";
    d.PrintedTenth = tenth;
}

int MultiProgressView::OverallPercent(const Device& device) {
    return device.WritingDone ? 100 : ProgressView::Percent(device.TotalPosition, device.TotalMax);
}

void MultiProgressView::Redraw() {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < devices_.size(); ++i)
        lines.push_back(Line(i));
    if (lines == drawn_)
        return;
    // Back to the first device's line, then each line cleared and written again.
    if (!drawn_.empty())
        out_ << "\x1b[" << drawn_.size() << 'A';
    for (const auto& line : lines)
        out_ << "\r\x1b[2K" << line << '\n';
    out_.flush();
    drawn_ = std::move(lines);
}

}  // namespace veltrin
