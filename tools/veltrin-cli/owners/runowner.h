#pragma once

#include <cstdint>
#include <string>

#include "args/consent.h"
#include "download/updatedownload.h"
#include "engine/threadowner.h"
#include "history/historyrecorder.h"
#include "output/cliio.h"
#include "owners/ownerhandlers.h"

namespace veltrin {

// The owner of one worker that updates one device, whatever shows the run: it hands the worker
// the update data and the variant records, answers its questions from the options or from the
// input, keeps the run's history record and remembers how the run ended. What the user or a
// script sees of each event is the view's: the terminal's text, the JSON events, or the device's
// line among several updated at once.
class RunOwner : public UpdateThreadOwner {
public:
    void ThreadFetchParams(TSThreadParams& params) final;
    void ThreadAskYesNo(TSThreadParams& params) final;
    void ThreadReportEnd(TSThreadParams& params, bool terminated) final;
    void ThreadLookupVariant(TSThreadParams& params) final;
    void ThreadReportDevice(TSThreadParams& params) final;
    void UpdateThreadEnded() final;

    bool Ended() const { return ended_; }
    bool Reported() const { return reported_; }
    // Why the run declined to write its device; LeftAlone::No for every other run.
    LeftAlone DeviceLeftAlone() const { return terminated_ ? leftAlone_ : LeftAlone::No; }
    // 0 success, kExitLeftAlone for a device left alone, kExitCancelled for a run ended by the
    // user, otherwise the result code.
    int ExitStatus() const;

protected:
    // Where the answer to a question came from.
    enum class AnswerSource { Options, Input, NoInput };

    RunOwner(const UpdateData& data, VariantLookupFunction lookup, CliIo& io,
             ConsentOptions consent, UpdateHistoryRecorder* history);

    // The worker took the update data: a run begins.
    virtual void ShowStart() {}
    // The worker read its device; Device() holds what it read.
    virtual void ShowDevice(const TSThreadParams& params) = 0;
    virtual void ShowVariantLookup(const TSThreadParams& params) = 0;
    // Before the answer is known: the question (trimmed) is put to the user.
    virtual void ShowQuestion(const std::string& question) = 0;
    // The options left the question open: the answer is read from the input next.
    virtual void ShowInputPrompt(const std::string&) {}
    // typed is the line read (trimmed) for AnswerSource::Input, empty otherwise.
    virtual void ShowAnswer(const std::string& question, bool answer, AnswerSource source,
                            const std::string& typed) = 0;
    // Only for a run that reached a device; error is empty when the record was written.
    virtual void ShowHistoryRecord(const UpdateHistoryRecorder& history, bool written,
                                   const std::string& error) = 0;
    // The run's record could not be written. On the error stream by default.
    virtual void ShowHistoryNotWritten(const std::string& error);
    // A run refused because other runs hold its ports: who holds them. On the error stream by
    // default.
    virtual void ShowBusyPorts(const TSThreadParams& params);
    // After the record is written and the busy ports are named.
    virtual void ShowEnd(const TSThreadParams& params, bool terminated) = 0;

    const UpdateData& Data() const { return data_; }
    CliIo& Io() { return io_; }
    const TSDeviceReport& Device() const { return device_; }
    bool Terminated() const { return terminated_; }
    std::int32_t ResultCode() const { return resultCode_; }

private:
    void RecordHistory(const TSThreadParams& params, bool terminated);

    const UpdateData& data_;
    VariantLookupFunction lookup_;
    CliIo& io_;
    ConsentOptions consent_;
    UpdateHistoryRecorder* history_;
    LeftAlone leftAlone_ = LeftAlone::No;
    TSDeviceReport device_;
    bool ended_ = false;
    bool reported_ = false;
    bool terminated_ = false;
    std::int32_t resultCode_ = 0;
};

}  // namespace veltrin
