#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "cliio.h"
#include "download/updatedownload.h"
#include "engine/threadowner.h"
#include "progressview.h"

namespace veltrin {

// Fills the two device record images for a variant id; false (images zero) when unknown.
using VariantLookupFunction =
    std::function<bool(std::int32_t variantId, std::uint8_t config[kConfigImageSize],
                       std::uint8_t param[kParamImageSize])>;

// The command-line owner of one worker: shows its progress on the terminal, asks its questions
// there (or answers Yes), prints the end texts and remembers the result.
class TerminalOwner : public UpdateThreadOwner {
public:
    TerminalOwner(const UpdateData& data, VariantLookupFunction lookup, CliIo& io, bool answerYes);

    void ThreadFetchParams(TSThreadParams& params) override;
    void ThreadSetTotalMax(TSThreadParams& params) override;
    void ThreadSetTotalPosition(TSThreadParams& params) override;
    void ThreadStepTotal(TSThreadParams& params) override;
    void ThreadSetActionMax(TSThreadParams& params) override;
    void ThreadSetActionPosition(TSThreadParams& params) override;
    void ThreadShowTitle(TSThreadParams& params) override;
    void ThreadShowAction(TSThreadParams& params) override;
    void ThreadAskYesNo(TSThreadParams& params) override;
    void ThreadReportEnd(TSThreadParams& params, bool terminated) override;
    void ThreadLookupVariant(TSThreadParams& params) override;
    void UpdateThreadEnded() override;

    bool Ended() const { return ended_; }
    bool Reported() const { return reported_; }
    // 0 success, kExitCancelled for a run ended by the user, otherwise the result code.
    int ExitStatus() const;

private:
    const UpdateData& data_;
    VariantLookupFunction lookup_;
    CliIo& io_;
    bool answerYes_;
    ProgressView progress_;
    bool ended_ = false;
    bool reported_ = false;
    bool terminated_ = false;
    std::int32_t resultCode_ = 0;
};

}  // namespace veltrin
