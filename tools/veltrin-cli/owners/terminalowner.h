#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "args/consent.h"
#include "download/updatedownload.h"
#include "engine/threadowner.h"
#include "history/historyrecorder.h"
#include "output/cliio.h"
#include "output/progressview.h"

namespace veltrin {

// Fills the two device record images for a variant id; false (images zero) when unknown.
using VariantLookupFunction =
    std::function<bool(std::int32_t variantId, std::uint8_t config[kConfigImageSize],
                       std::uint8_t param[kParamImageSize])>;

class UpdateEventStream;

// The command-line owner of one worker: shows its progress on the terminal, asks its questions
// there (or answers Yes), prints the end texts and remembers the result. With an event stream
// every event goes out as a JSON line instead; with a recorder the run gets its history record.
class TerminalOwner : public UpdateThreadOwner {
public:
    TerminalOwner(const UpdateData& data, VariantLookupFunction lookup, CliIo& io,
                  ConsentOptions consent, UpdateEventStream* events = nullptr,
                  UpdateHistoryRecorder* history = nullptr);

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
    void ThreadReportDevice(TSThreadParams& params) override;
    void UpdateThreadEnded() override;

    bool Ended() const { return ended_; }
    bool Reported() const { return reported_; }
    // Why the run declined to write its device; LeftAlone::No for every other run.
    LeftAlone DeviceLeftAlone() const { return terminated_ ? leftAlone_ : LeftAlone::No; }
    // 0 success, kExitLeftAlone for a device left alone, kExitCancelled for a run ended by the
    // user, otherwise the result code.
    int ExitStatus() const;

private:
    void EmitProgress(const char* bar, const char* change, std::int64_t value);
    void EmitEnd(const TSThreadParams& params, bool terminated);
    void RecordHistory(const TSThreadParams& params, bool terminated);
    void PrintLeftAlone();
    void NameDevice();

    const UpdateData& data_;
    VariantLookupFunction lookup_;
    CliIo& io_;
    ConsentOptions consent_;
    LeftAlone leftAlone_ = LeftAlone::No;
    TSDeviceReport device_;
    bool named_ = false;
    ProgressView progress_;
    UpdateEventStream* events_;
    UpdateHistoryRecorder* history_;
    // The bars' values as the window would show them, for the JSON events.
    std::int64_t totalMax_ = 100, totalPosition_ = 0, actionMax_ = 100, actionPosition_ = 0;
    bool ended_ = false;
    bool reported_ = false;
    bool inhibitorReported_ = false;
    bool terminated_ = false;
    std::int32_t resultCode_ = 0;
};

}  // namespace veltrin
