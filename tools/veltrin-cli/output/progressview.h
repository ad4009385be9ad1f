#pragma once

#include <cstdint>
#include <ostream>
#include <string>

namespace veltrin {

// Shows a worker's progress on a text stream: on a terminal one bar line (overall progress and
// the action text) redrawn in place with the title above it; otherwise plain lines for each
// title, each action, every tenth of the overall progress ("overall 40%, module 2/6") and every
// tenth of a module's own ("module 2/6 50%"). Once the application is started the writing is
// done: the overall bar stays full through the last restart, where the worker starts it over.
class ProgressView {
public:
    ProgressView(std::ostream& out, bool terminal);

    void SetTotalMax(std::int32_t value);
    void SetTotalPosition(std::int32_t value);
    void StepTotal(std::int32_t value);
    void SetActionMax(std::int32_t value);
    void SetActionPosition(std::int32_t value);
    void ShowTitle(const std::string& text);
    void ShowAction(const std::string& text);

    // Ends the bar line so that other text can follow (terminal only).
    void Release();

    static int Percent(std::int64_t position, std::int64_t maximum);

private:
    void Update();
    std::string BarLine() const;
    int OverallPercent() const;
    // "module 2/6" while a module is written; empty otherwise.
    std::string ModuleName() const;

    std::ostream& out_;
    bool terminal_;
    std::int64_t totalMax_ = 100;
    std::int64_t totalPosition_ = 0;
    std::int64_t actionMax_ = 100;
    std::int64_t actionPosition_ = 0;
    std::string title_;
    std::string action_;
    std::size_t drawnLength_ = 0;  // characters of the bar line on screen; 0: none
    std::string drawnLine_;
    int printedTenth_ = 0;        // the tenth of the overall progress shown last (plain lines)
    int printedModuleTenth_ = 0;  // likewise of the module being written
    bool writingDone_ = false;
};

}  // namespace veltrin
