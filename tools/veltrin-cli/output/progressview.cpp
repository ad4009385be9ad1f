#include "output/progressview.h"

#include <algorithm>

#include "common/printabletext.h"
#include "common/texttrim.h"
#include "engine/devicerestart.h"

namespace veltrin {

namespace {

constexpr int kBarWidth = 30;
constexpr std::size_t kActionWidth = 40;
constexpr char kModuleActionPrefix[] = "Update module ";

}  // namespace

ProgressView::ProgressView(std::ostream& out, bool terminal) : out_(out), terminal_(terminal) {}

int ProgressView::Percent(std::int64_t position, std::int64_t maximum) {
    if (maximum <= 0) {
        return 0;
    }
    position = std::clamp<std::int64_t>(position, 0, maximum);
    return static_cast<int>(position * 100 / maximum);
}

void ProgressView::SetTotalMax(std::int32_t value) {
    totalMax_ = value;
    Update();
}

void ProgressView::SetTotalPosition(std::int32_t value) {
    totalPosition_ = value;
    Update();
}

void ProgressView::StepTotal(std::int32_t value) {
    totalPosition_ += value;
    Update();
}

void ProgressView::SetActionMax(std::int32_t value) {
    actionMax_ = value;
    Update();
}

void ProgressView::SetActionPosition(std::int32_t value) {
    actionPosition_ = value;
    Update();
}

void ProgressView::ShowTitle(const std::string& text) {
    const std::string title = PrintableText(TrimText(text));
    if (title == title_) {
        return;
    }
    title_ = title;
    if (title_.empty()) {
        return;
    }
    Release();
    out_ << title_ << '\n';
    Update();
}

void ProgressView::ShowAction(const std::string& text) {
    const std::string action = PrintableText(TrimText(text));
    if (action == action_) {
        return;
    }
    action_ = action;
    printedModuleTenth_ = 0;
    if (action_ == kStartApplicationAction)
        writingDone_ = true;
    if (!terminal_ && !action_.empty()) {
        out_ << "  " << action_ << '\n';
    }
    Update();
}

int ProgressView::OverallPercent() const {
    return writingDone_ ? 100 : Percent(totalPosition_, totalMax_);
}

std::string ProgressView::ModuleName() const {
    const std::string prefix = kModuleActionPrefix;
    return action_.rfind(prefix, 0) == 0 ? "module " + action_.substr(prefix.size()) : "";
}

std::string ProgressView::BarLine() const {
    // Built by appending: chains of operator+ on temporaries trip a false -Wrestrict of GCC 12
    // at -O3.
    const int percent = OverallPercent();
    const int filled = percent * kBarWidth / 100;
    const std::string number = std::to_string(percent);
    std::string line;
    line.reserve(kBarWidth + kActionWidth + 16);
    line.append(1, '[').append(filled, '#').append(kBarWidth - filled, '-').append("] ");
    line.append(3 - std::min<std::size_t>(3, number.size()), ' ').append(number).append("% ");
    if (action_.size() > kActionWidth) {
        line.append(action_, 0, kActionWidth - 3).append("...");
    } else {
        line.append(action_);
    }
    if (actionMax_ > 0 && actionPosition_ > 0) {
        line.append(" (").append(std::to_string(Percent(actionPosition_, actionMax_))).append("%)");
    }
    return line;
}

void ProgressView::Update() {
    if (terminal_) {
        const std::string line = BarLine();
        if (drawnLength_ > 0 && line == drawnLine_) {
            return;  // nothing visible changed
        }
        out_ << '\r' << line;
        if (line.size() < drawnLength_) {
            // Blank out the rest of a longer line drawn before, then return to the end.
            const std::size_t extra = drawnLength_ - line.size();
            out_ << std::string(extra, ' ') << std::string(extra, '\b');
        }
        drawnLength_ = line.size();
        drawnLine_ = line;
        out_.flush();
        return;
    }
    const std::string module = ModuleName();
    const int tenth = OverallPercent() / 10;
    if (tenth > printedTenth_) {
        out_ << "  overall " << tenth * 10 << '%';
        if (!module.empty())
            out_ << ", " << module;
        out_ << '\n';
    }
    // A bar that moves back (a new maximum) counts on from there.
    printedTenth_ = tenth;
    const int moduleTenth = module.empty() ? 0 : Percent(actionPosition_, actionMax_) / 10;
    if (moduleTenth > printedModuleTenth_)
        out_ << "  " << module << ' ' << moduleTenth * 10 << "%\n";
    printedModuleTenth_ = moduleTenth;
}

void ProgressView::Release() {
    if (terminal_ && drawnLength_ > 0) {
        out_ << '\n';
        drawnLength_ = 0;
    }
}

}  // namespace veltrin
