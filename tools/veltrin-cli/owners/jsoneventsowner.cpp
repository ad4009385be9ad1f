#include "owners/jsoneventsowner.h"

#include <cstring>

#include "common/texttrim.h"
#include "engine/countdowntext.h"
#include "engine/devicefamily.h"
#include "protocol/devicetypes.h"
#include "report/endtexts.h"

namespace veltrin {

namespace {

const char* FamilyOf(int type) {
    return IsQuorvanOtgType(type)     ? kFamilyLabelQuorvanOtg
           : IsTarnovelleK7Type(type) ? kFamilyLabelTarnovelleK7
                                      : "";
}

}  // namespace

JsonEventsOwner::JsonEventsOwner(const UpdateData& data, VariantLookupFunction lookup, CliIo& io,
                                 ConsentOptions consent, UpdateEventStream& events,
                                 UpdateHistoryRecorder* history)
    : RunOwner(data, std::move(lookup), io, consent, history), events_(events) {}

void JsonEventsOwner::ShowStart() {
    events_.Emit("start");
}

void JsonEventsOwner::EmitProgress(const char* bar, const char* change, std::int64_t value) {
    const bool total = std::strcmp(bar, "total") == 0;
    events_.Emit("progress", {{"bar", bar},
                              {"change", change},
                              {"value", value},
                              {"position", total ? totalPosition_ : actionPosition_},
                              {"max", total ? totalMax_ : actionMax_}});
}

void JsonEventsOwner::ThreadSetTotalMax(TSThreadParams& params) {
    totalMax_ = params.EventValue;
    EmitProgress("total", "max", params.EventValue);
}

void JsonEventsOwner::ThreadSetTotalPosition(TSThreadParams& params) {
    totalPosition_ = params.EventValue;
    EmitProgress("total", "position", params.EventValue);
}

void JsonEventsOwner::ThreadStepTotal(TSThreadParams& params) {
    totalPosition_ += params.EventValue;
    EmitProgress("total", "step", params.EventValue);
}

void JsonEventsOwner::ThreadSetActionMax(TSThreadParams& params) {
    actionMax_ = params.EventValue;
    EmitProgress("action", "max", params.EventValue);
}

void JsonEventsOwner::ThreadSetActionPosition(TSThreadParams& params) {
    actionPosition_ = params.EventValue;
    EmitProgress("action", "position", params.EventValue);
}

void JsonEventsOwner::ThreadShowTitle(TSThreadParams& params) {
    events_.Emit("title", {{"text", TrimText(params.EventText)}});
}

void JsonEventsOwner::ThreadShowAction(TSThreadParams& params) {
    const std::string text = TrimText(params.EventText);
    int seconds = 0;
    if (ParseCountdownText(text, seconds)) {
        events_.Emit("countdown", {{"seconds", seconds}, {"text", text}});
    } else {
        events_.Emit("action", {{"text", text}});
    }
}

void JsonEventsOwner::ShowQuestion(const std::string& question) {
    events_.Emit("question", {{"text", question}});
}

void JsonEventsOwner::ShowAnswer(const std::string& question, bool answer, AnswerSource source,
                                 const std::string&) {
    const char* word = source == AnswerSource::Options ? "yes-option"
                       : source == AnswerSource::Input ? "input"
                                                       : "no-input";
    events_.Emit("answer", {{"question", question}, {"answer", answer}, {"source", word}});
}

void JsonEventsOwner::ShowEnd(const TSThreadParams& params, bool terminated) {
    const EndTexts texts = ResultTexts(terminated, params.ResultCode, params.EventText);
    events_.Emit("end", {{"result_code", params.ResultCode},
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

void JsonEventsOwner::ShowHistoryRecord(const UpdateHistoryRecorder& history, bool written,
                                        const std::string& error) {
    const std::string& file = history.FileName();
    events_.Emit("history", {{"written", written},
                             {"file", file.empty() ? Json(nullptr) : Json(file)},
                             {"error", error}});
}

void JsonEventsOwner::ShowVariantLookup(const TSThreadParams& params) {
    events_.Emit("variant_lookup",
                 {{"variant_id", params.VariantId}, {"found", params.EventAnswer != 0}});
}

void JsonEventsOwner::ShowDevice(const TSThreadParams& params) {
    const TSDeviceReport& device = params.Device;
    events_.SetPort(device.Port);
    events_.Emit("device",
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
        events_.Emit("inhibitor",
                     {{"held", params.InhibitorHeld}, {"problem", params.InhibitorProblem}});
    }
}

}  // namespace veltrin
