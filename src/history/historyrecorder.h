#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <utility>

#include "download/updatedownload.h"
#include "engine/threadparams.h"
#include "history/historyrecord.h"

namespace veltrin {

// Collects what an owner of update workers learns during a run and appends one history record
// when a run that reached a device ends. The window and the command-line front end each keep
// one; all calls come from the owner's thread (inside the worker's handlers).
class UpdateHistoryRecorder {
public:
    // fileName empty: the system names no folder for the history; every run that reaches a
    // device then ends with HISTORY_ERR_NO_LOCATION, so the loss is never silent.
    UpdateHistoryRecorder(std::string program, std::string fileName);

    // The update data the next runs use: file names, versions and SHA-256 of each file.
    void NoteUpdateData(const UpdateData& data);
    // A run begins (its first event).
    void RunStarted();
    // The worker's facts about its device; the last call of a run wins.
    void DeviceReported(const TSDeviceReport& device);
    // The run declined to rewrite its device; word is the record's LeftAlone.
    void LeftDeviceAlone(std::string word) { leftAlone_ = std::move(word); }
    // Whether the current run has a record to write: a device was reported since it started.
    bool RecordDue() const { return deviceReported_; }
    // The run ended. Appends its record when a device was reported; otherwise does nothing and
    // returns HISTORY_OK (ask RecordDue first to tell the two apart). Returns a
    // HistoryFileResult; error says what went wrong in words. Never throws.
    int RunEnded(std::int32_t resultCode, bool terminated, std::string& error);

    // The record RunEnded would write now (for tests and the JSON events).
    HistoryRecord CurrentRecord(std::int32_t resultCode, bool terminated) const;
    const std::string& FileName() const { return fileName_; }

private:
    struct FirmwareFacts {
        std::string File, Version, Sha256;
    };

    std::string program_;
    std::string fileName_;
    FirmwareFacts quorvan_;
    FirmwareFacts tarnovelle_;
    std::string variantFile_, variantSha256_;
    bool variantsRefused_ = false;
    std::string signingKey_;  // empty: the update data was not verified by a signature
    bool deviceReported_ = false;
    TSDeviceReport device_;
    std::string leftAlone_;
    std::string startTime_;
    std::chrono::steady_clock::time_point start_{};
};

// The current time as UTC ISO 8601 with seconds, "2026-12-09T12:21:55Z".
std::string UtcTimeText(std::chrono::system_clock::time_point time);

// The program's version for the records.
const char* ProgramVersionText();

}  // namespace veltrin
