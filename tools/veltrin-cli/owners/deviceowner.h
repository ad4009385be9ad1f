#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "args/consent.h"
#include "download/updatedownload.h"
#include "engine/threadowner.h"
#include "history/historyrecorder.h"
#include "output/cliio.h"
#include "output/multiprogressview.h"
#include "owners/ownerhandlers.h"

namespace veltrin {

// The owner of one worker among several that update devices at once: its progress goes to its
// own line of the shared view, and it keeps what the summary needs. All handlers run on the
// program's main thread, one at a time, so the owners share the view and the streams unlocked.
class DeviceOwner : public UpdateThreadOwner {
public:
    DeviceOwner(std::size_t index, std::string port, const UpdateData& data,
                VariantLookupFunction lookup, MultiProgressView& view, CliIo& io,
                ConsentOptions consent, UpdateHistoryRecorder* history = nullptr);

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

    const std::string& Port() const { return port_; }
    bool Ended() const { return ended_; }
    bool Succeeded() const { return reported_ && !terminated_ && resultCode_ == 0; }
    // Why the run declined to write its device; LeftAlone::No for every other run.
    LeftAlone DeviceLeftAlone() const {
        return reported_ && terminated_ ? leftAlone_ : LeftAlone::No;
    }
    // The code of a run that failed on its own (not cancelled); 0 otherwise.
    std::int32_t FailureCode() const { return reported_ && !terminated_ ? resultCode_ : 0; }
    // The run stopped inside the write; the pipette waits in its bootloader for the next one.
    bool LeftInBootloader() const { return reported_ && leftInBootloader_; }
    // "success", "cancelled", "left alone: up to date", "code N: status", or for a pipette left
    // in its bootloader "interrupted, in its bootloader (...)".
    std::string ResultText() const;
    // The "What to do" line for this run; empty when there is nothing to do.
    std::string EndAdvice() const;
    // Where the run found no device it could use: per port asked, what stood in the way there
    // ("pts/3: no such port"); empty otherwise.
    const std::vector<std::string>& FindingLines() const { return findingLines_; }
    // The firmware version the run installed (dd.dd.dd), empty unless it succeeded.
    std::string InstalledVersion() const;
    // What the worker read from its device before changing anything; Port empty when the run
    // never reached a device.
    const TSDeviceReport& Device() const { return device_; }

private:
    std::size_t index_;
    std::string port_;
    const UpdateData& data_;
    VariantLookupFunction lookup_;
    MultiProgressView& view_;
    CliIo& io_;
    ConsentOptions consent_;
    LeftAlone leftAlone_ = LeftAlone::No;
    UpdateHistoryRecorder* history_;
    TSDeviceReport device_;
    bool ended_ = false;
    bool reported_ = false;
    bool terminated_ = false;
    bool leftInBootloader_ = false;
    std::int32_t resultCode_ = 0;
    std::string endText_;
    std::vector<std::string> findingLines_;
};

}  // namespace veltrin
