#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "args/consent.h"
#include "download/updatedownload.h"
#include "history/historyrecorder.h"
#include "output/cliio.h"
#include "output/multiprogressview.h"
#include "owners/ownerhandlers.h"
#include "owners/runowner.h"

namespace veltrin {

// The owner of one worker among several that update devices at once: the run's rules are
// RunOwner's, its view is its own line of the shared view, and it keeps what the summary needs.
// All handlers run on the program's main thread, one at a time, so the owners share the view
// and the streams unlocked.
class DeviceOwner : public RunOwner {
public:
    DeviceOwner(std::size_t index, std::string port, const UpdateData& data,
                VariantLookupFunction lookup, MultiProgressView& view, CliIo& io,
                ConsentOptions consent, UpdateHistoryRecorder* history = nullptr);

    void ThreadSetTotalMax(TSThreadParams& params) override;
    void ThreadSetTotalPosition(TSThreadParams& params) override;
    void ThreadStepTotal(TSThreadParams& params) override;
    void ThreadSetActionMax(TSThreadParams& params) override;
    void ThreadSetActionPosition(TSThreadParams& params) override;
    void ThreadShowTitle(TSThreadParams& params) override;
    void ThreadShowAction(TSThreadParams& params) override;

    const std::string& Port() const { return port_; }
    bool Succeeded() const { return Reported() && !Terminated() && ResultCode() == 0; }
    // The code of a run that failed on its own (not cancelled); 0 otherwise.
    std::int32_t FailureCode() const { return Reported() && !Terminated() ? ResultCode() : 0; }
    // The run stopped inside the write; the pipette waits in its bootloader for the next one.
    bool LeftInBootloader() const { return Reported() && leftInBootloader_; }
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
    using RunOwner::Device;

private:
    void ShowDevice(const TSThreadParams& params) override;
    void ShowVariantLookup(const TSThreadParams& params) override;
    void ShowQuestion(const std::string& question) override;
    void ShowInputPrompt(const std::string& question) override;
    void ShowAnswer(const std::string& question, bool answer, AnswerSource source,
                    const std::string& typed) override;
    void ShowHistoryRecord(const UpdateHistoryRecorder& history, bool written,
                           const std::string& error) override;
    void ShowHistoryNotWritten(const std::string& error) override;
    void ShowBusyPorts(const TSThreadParams& params) override;
    void ShowEnd(const TSThreadParams& params, bool terminated) override;

    std::size_t index_;
    std::string port_;
    MultiProgressView& view_;
    bool leftInBootloader_ = false;
    std::string endText_;
    std::vector<std::string> findingLines_;
};

}  // namespace veltrin
