#include "owners/runowner.h"

#include <algorithm>
#include <cctype>
#include <istream>
#include <utility>

#include "common/texttrim.h"

namespace veltrin {

namespace {

bool IsYes(std::string answer) {
    std::transform(answer.begin(), answer.end(), answer.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return answer == "y" || answer == "yes";
}

}  // namespace

RunOwner::RunOwner(const UpdateData& data, VariantLookupFunction lookup, CliIo& io,
                   ConsentOptions consent, UpdateHistoryRecorder* history)
    : data_(data), lookup_(std::move(lookup)), io_(io), consent_(consent), history_(history) {}

void RunOwner::ThreadFetchParams(TSThreadParams& params) {
    if (history_ != nullptr) {
        history_->RunStarted();
    }
    CopyFirmwareInto(data_, params);
    ShowStart();
}

void RunOwner::ThreadAskYesNo(TSThreadParams& params) {
    const std::string question = TrimText(params.EventText);
    ShowQuestion(question);
    AnswerSource source = AnswerSource::Options;
    std::string typed;
    bool answer = false;
    if (!AnswerFromOptions(consent_, params.EventText, answer, leftAlone_)) {
        ShowInputPrompt(question);
        io_.Out.flush();
        std::string line;
        if (!std::getline(io_.In, line)) {
            source = AnswerSource::NoInput;
            answer = false;
        } else {
            source = AnswerSource::Input;
            typed = TrimText(line);
            answer = IsYes(typed);
        }
    }
    params.EventAnswer = answer ? 1 : 0;
    ShowAnswer(question, answer, source, typed);
}

void RunOwner::ThreadReportEnd(TSThreadParams& params, bool terminated) {
    reported_ = true;
    terminated_ = terminated;
    resultCode_ = params.ResultCode;
    // The record goes to disk before anything is shown, so it survives whatever follows.
    RecordHistory(params, terminated);
    ShowBusyPorts(params);
    ShowEnd(params, terminated);
}

void RunOwner::RecordHistory(const TSThreadParams& params, bool terminated) {
    if (history_ == nullptr) {
        return;
    }
    // A run that never reached a device has no record: nothing to write, nothing to report.
    const bool due = history_->RecordDue();
    if (DeviceLeftAlone() != LeftAlone::No)
        history_->LeftDeviceAlone(LeftAloneWord(DeviceLeftAlone()));
    std::string error;
    const int code = history_->RunEnded(params.ResultCode, terminated, error);
    // The update's result stands whatever happens to its record; only say so.
    if (code != 0) {
        ShowHistoryNotWritten(error);
    }
    if (due) {
        ShowHistoryRecord(*history_, code == 0, error);
    }
}

void RunOwner::ShowHistoryNotWritten(const std::string& error) {
    io_.Err << "veltrin-cli: the update history was not written: " << error << '\n';
}

void RunOwner::ShowBusyPorts(const TSThreadParams& params) {
    ReportBusyPorts(params, io_.Err);
}

void RunOwner::ThreadLookupVariant(TSThreadParams& params) {
    LookupVariantInto(lookup_, params);
    ShowVariantLookup(params);
}

void RunOwner::ThreadReportDevice(TSThreadParams& params) {
    device_ = params.Device;
    if (history_ != nullptr) {
        history_->DeviceReported(params.Device);
    }
    ShowDevice(params);
}

void RunOwner::UpdateThreadEnded() {
    ended_ = true;
}

int RunOwner::ExitStatus() const {
    if (!reported_) {
        return kExitFailure;
    }
    if (DeviceLeftAlone() != LeftAlone::No) {
        return kExitLeftAlone;
    }
    if (terminated_) {
        return kExitCancelled;
    }
    return resultCode_;
}

}  // namespace veltrin
