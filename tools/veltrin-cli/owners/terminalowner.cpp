#include "owners/terminalowner.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "common/printabletext.h"
#include "common/texttrim.h"
#include "engine/countdowntext.h"
#include "engine/devicefamily.h"
#include "output/endadvice.h"
#include "output/jsonevents.h"
#include "output/portfindings.h"
#include "owners/ownerhandlers.h"
#include "protocol/devicetypes.h"
#include "report/endtexts.h"

namespace veltrin {

namespace {

bool IsYes(std::string answer) {
    std::transform(answer.begin(), answer.end(), answer.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return answer == "y" || answer == "yes";
}

const char* FamilyOf(int type) {
    return IsQuorvanOtgType(type)     ? kFamilyLabelQuorvanOtg
           : IsTarnovelleK7Type(type) ? kFamilyLabelTarnovelleK7
                                      : "";
}

std::string OrDash(const std::string& text) {
    return text.empty() ? "-" : text;
}

}  // namespace

TerminalOwner::TerminalOwner(const UpdateData& data, VariantLookupFunction lookup, CliIo& io,
                             ConsentOptions consent, UpdateEventStream* events,
                             UpdateHistoryRecorder* history)
    : data_(data),
      lookup_(std::move(lookup)),
      io_(io),
      consent_(consent),
      progress_(io.Out, io.OutIsTerminal),
      events_(events),
      history_(history) {}

void TerminalOwner::ThreadFetchParams(TSThreadParams& params) {
    if (history_ != nullptr) {
        history_->RunStarted();
    }
    named_ = false;
    CopyFirmwareInto(data_, params);
    if (events_ != nullptr) {
        events_->Emit("start");
    }
}

void TerminalOwner::EmitProgress(const char* bar, const char* change, std::int64_t value) {
    const bool total = std::strcmp(bar, "total") == 0;
    events_->Emit("progress", {{"bar", bar},
                               {"change", change},
                               {"value", value},
                               {"position", total ? totalPosition_ : actionPosition_},
                               {"max", total ? totalMax_ : actionMax_}});
}

void TerminalOwner::ThreadSetTotalMax(TSThreadParams& params) {
    totalMax_ = params.EventValue;
    if (events_ != nullptr) {
        EmitProgress("total", "max", params.EventValue);
        return;
    }
    progress_.SetTotalMax(params.EventValue);
}

void TerminalOwner::ThreadSetTotalPosition(TSThreadParams& params) {
    totalPosition_ = params.EventValue;
    if (events_ != nullptr) {
        EmitProgress("total", "position", params.EventValue);
        return;
    }
    progress_.SetTotalPosition(params.EventValue);
}

void TerminalOwner::ThreadStepTotal(TSThreadParams& params) {
    totalPosition_ += params.EventValue;
    if (events_ != nullptr) {
        EmitProgress("total", "step", params.EventValue);
        return;
    }
    progress_.StepTotal(params.EventValue);
}

void TerminalOwner::ThreadSetActionMax(TSThreadParams& params) {
    actionMax_ = params.EventValue;
    if (events_ != nullptr) {
        EmitProgress("action", "max", params.EventValue);
        return;
    }
    progress_.SetActionMax(params.EventValue);
}

void TerminalOwner::ThreadSetActionPosition(TSThreadParams& params) {
    actionPosition_ = params.EventValue;
    if (events_ != nullptr) {
        EmitProgress("action", "position", params.EventValue);
        return;
    }
    progress_.SetActionPosition(params.EventValue);
}

void TerminalOwner::ThreadShowTitle(TSThreadParams& params) {
    if (events_ != nullptr) {
        events_->Emit("title", {{"text", TrimText(params.EventText)}});
        return;
    }
    progress_.ShowTitle(params.EventText);
}

void TerminalOwner::ThreadShowAction(TSThreadParams& params) {
    if (events_ != nullptr) {
        const std::string text = TrimText(params.EventText);
        int seconds = 0;
        if (ParseCountdownText(text, seconds)) {
            events_->Emit("countdown", {{"seconds", seconds}, {"text", text}});
        } else {
            events_->Emit("action", {{"text", text}});
        }
        return;
    }
    progress_.ShowAction(params.EventText);
}

void TerminalOwner::NameDevice() {
    // Before its first question the user learns which pipette it is and what it would get.
    const TSDeviceReport& device = device_;
    io_.Out << "\nPipette on " << PrintableText(device.Port) << ": "
            << DeviceTypeText(device.DeviceType);
    if (!TrimText(device.InfoText).empty())
        io_.Out << ", " << PrintableText(TrimText(device.InfoText));
    const std::string release = ReleaseVersionFor(data_, device.DeviceType);
    io_.Out << "\n  installed " << PrintableText(OrDash(TrimText(device.VersionText0)))
            << ", release " << OrDash(release) << '\n';
}

void TerminalOwner::ThreadAskYesNo(TSThreadParams& params) {
    const std::string question = TrimText(params.EventText);
    if (events_ == nullptr && !named_) {
        named_ = true;
        progress_.Release();
        NameDevice();
    }
    if (events_ != nullptr) {
        events_->Emit("question", {{"text", question}});
    } else {
        progress_.Release();
        io_.Out << '\n' << PrintableText(question, true) << " [y/N] ";
    }
    const char* source = "yes-option";
    bool answer = false;
    if (AnswerFromOptions(consent_, params.EventText, answer, leftAlone_)) {
        if (events_ == nullptr) {
            io_.Out << (answer ? "y (--yes)\n" : "n (--yes leaves it alone)\n");
        }
        params.EventAnswer = answer ? 1 : 0;
    } else {
        io_.Out.flush();
        std::string answer;
        if (!std::getline(io_.In, answer)) {
            source = "no-input";
            if (events_ == nullptr) {
                io_.Out << "(no answer: No)\n";
            }
            params.EventAnswer = 0;
        } else {
            source = "input";
            if (events_ == nullptr && !io_.InIsTerminal) {
                io_.Out << TrimText(answer) << '\n';  // show what a script answered
            }
            params.EventAnswer = IsYes(TrimText(answer)) ? 1 : 0;
        }
    }
    if (events_ != nullptr) {
        events_->Emit(
            "answer",
            {{"question", question}, {"answer", params.EventAnswer != 0}, {"source", source}});
    }
}

void TerminalOwner::ThreadReportEnd(TSThreadParams& params, bool terminated) {
    reported_ = true;
    terminated_ = terminated;
    resultCode_ = params.ResultCode;
    // The record goes to disk before anything is shown, so it survives whatever follows.
    RecordHistory(params, terminated);
    ReportBusyPorts(params, io_.Err);
    if (events_ != nullptr) {
        EmitEnd(params, terminated);
        return;
    }
    progress_.Release();
    if (DeviceLeftAlone() != LeftAlone::No) {
        PrintLeftAlone();
        return;
    }
    const EndTexts texts = ResultTexts(terminated, params.ResultCode, params.EventText);
    // The end text may carry what the device said.
    io_.Out << '\n' << texts.Caption << ": " << PrintableText(texts.Status, true) << '\n';
    if (!texts.ErrorText.empty()) {
        io_.Out << PrintableText(texts.ErrorText, true) << '\n';
    }
    if (!texts.Message.empty()) {
        io_.Out << PrintableText(texts.Message, true) << '\n';
    }
    std::string advice = terminated ? "" : PortInUseAdvice(params);
    if (advice.empty())
        advice = EndAdviceFor(params.ResultCode, terminated, params.LeftInBootloader);
    if (!advice.empty()) {
        io_.Out << advice << '\n';
    }
    // After the specified texts and the advice: what stood in the way on each port asked.
    for (const std::string& line : PortFindingLines(params))
        io_.Out << line << '\n';
    io_.Out.flush();
}

void TerminalOwner::PrintLeftAlone() {
    const LeftAlone why = DeviceLeftAlone();
    io_.Out << "\nLeft alone: the pipette is " << LeftAloneText(why) << " (installed "
            << PrintableText(TrimText(device_.VersionText0), true) << ", release "
            << ReleaseVersionFor(data_, device_.DeviceType)
            << "); nothing was written and its adjustments are kept.\n"
            << "To update it anyway, run again with --yes " << LeftAloneOption(why) << ".\n";
    io_.Out.flush();
}

void TerminalOwner::EmitEnd(const TSThreadParams& params, bool terminated) {
    const EndTexts texts = ResultTexts(terminated, params.ResultCode, params.EventText);
    events_->Emit("end", {{"result_code", params.ResultCode},
                          {"terminated", terminated},
                          {"outcome", DeviceLeftAlone() != LeftAlone::No
                                          ? LeftAloneWord(DeviceLeftAlone())
                                          : RunOutcome(terminated, params.ResultCode)},
                          {"exit_status", ExitStatus()},
                          {"caption", texts.Caption},
                          {"status", texts.Status},
                          {"error_text", texts.ErrorText},
                          {"hint", texts.Message},
                          {"end_text", TrimText(params.EventText)}});
}

void TerminalOwner::RecordHistory(const TSThreadParams& params, bool terminated) {
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
        io_.Err << "veltrin-cli: the update history was not written: " << error << '\n';
    }
    if (events_ != nullptr && due) {
        const std::string& file = history_->FileName();
        events_->Emit("history", {{"written", code == 0},
                                  {"file", file.empty() ? Json(nullptr) : Json(file)},
                                  {"error", error}});
    }
}

void TerminalOwner::ThreadLookupVariant(TSThreadParams& params) {
    LookupVariantInto(lookup_, params);
    const bool found = params.EventAnswer != 0;
    if (events_ != nullptr) {
        events_->Emit("variant_lookup", {{"variant_id", params.VariantId}, {"found", found}});
    }
}

void TerminalOwner::ThreadReportDevice(TSThreadParams& params) {
    const TSDeviceReport& device = params.Device;
    device_ = device;
    if (history_ != nullptr) {
        history_->DeviceReported(device);
    }
    if (events_ == nullptr) {
        return;
    }
    events_->SetPort(device.Port);
    events_->Emit("device",
                  {{"device_type", device.DeviceType},
                   {"device_type_text", DeviceTypeText(device.DeviceType)},
                   {"family", FamilyOf(device.DeviceType)},
                   {"info_text", device.InfoText},
                   {"version_text_0", device.VersionText0},
                   {"version_text_1", device.VersionText1},
                   {"variant_id", device.HasVariantId ? Json(device.VariantId) : Json(nullptr)}});
    // The inhibitor is taken with the port, so the first report of the device carries it.
    if (!inhibitorReported_) {
        inhibitorReported_ = true;
        events_->Emit("inhibitor",
                      {{"held", params.InhibitorHeld}, {"problem", params.InhibitorProblem}});
    }
}

void TerminalOwner::UpdateThreadEnded() {
    ended_ = true;
}

int TerminalOwner::ExitStatus() const {
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
