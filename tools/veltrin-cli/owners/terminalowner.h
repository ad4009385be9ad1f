#pragma once

#include <string>

#include "output/progressview.h"
#include "owners/runowner.h"

namespace veltrin {

// The command-line owner of one worker on the terminal: shows its progress there, names the
// pipette before its first question, asks the questions there (or shows the answer the options
// gave) and prints the end texts with the advice for what to do next.
class TerminalOwner : public RunOwner {
public:
    TerminalOwner(const UpdateData& data, VariantLookupFunction lookup, CliIo& io,
                  ConsentOptions consent, UpdateHistoryRecorder* history = nullptr);

    void ThreadSetTotalMax(TSThreadParams& params) override;
    void ThreadSetTotalPosition(TSThreadParams& params) override;
    void ThreadStepTotal(TSThreadParams& params) override;
    void ThreadSetActionMax(TSThreadParams& params) override;
    void ThreadSetActionPosition(TSThreadParams& params) override;
    void ThreadShowTitle(TSThreadParams& params) override;
    void ThreadShowAction(TSThreadParams& params) override;

private:
    void ShowStart() override;
    void ShowDevice(const TSThreadParams& params) override;
    void ShowVariantLookup(const TSThreadParams& params) override;
    void ShowQuestion(const std::string& question) override;
    void ShowAnswer(const std::string& question, bool answer, AnswerSource source,
                    const std::string& typed) override;
    void ShowHistoryRecord(const UpdateHistoryRecorder& history, bool written,
                           const std::string& error) override;
    void ShowEnd(const TSThreadParams& params, bool terminated) override;
    void PrintLeftAlone();
    void NameDevice();

    bool named_ = false;
    ProgressView progress_;
};

}  // namespace veltrin
