#include "owners/deviceowner.h"

#include <sstream>
#include <string>
#include <utility>

#include "common/printabletext.h"
#include "common/texttrim.h"
#include "output/endadvice.h"
#include "output/portfindings.h"
#include "owners/ownerhandlers.h"
#include "report/endtexts.h"

namespace veltrin {

DeviceOwner::DeviceOwner(std::size_t index, std::string port, const UpdateData& data,
                         VariantLookupFunction lookup, MultiProgressView& view, CliIo& io,
                         ConsentOptions consent, UpdateHistoryRecorder* history)
    : RunOwner(data, std::move(lookup), io, consent, history),
      index_(index),
      port_(std::move(port)),
      view_(view) {}

void DeviceOwner::ThreadSetTotalMax(TSThreadParams& params) {
    view_.SetTotalMax(index_, params.EventValue);
}

void DeviceOwner::ThreadSetTotalPosition(TSThreadParams& params) {
    view_.SetTotalPosition(index_, params.EventValue);
}

void DeviceOwner::ThreadStepTotal(TSThreadParams& params) {
    view_.StepTotal(index_, params.EventValue);
}

// One line per device has room for the overall progress only.
void DeviceOwner::ThreadSetActionMax(TSThreadParams&) {}
void DeviceOwner::ThreadSetActionPosition(TSThreadParams&) {}

void DeviceOwner::ThreadShowTitle(TSThreadParams& params) {
    view_.ShowTitle(index_, params.EventText);
}

void DeviceOwner::ThreadShowAction(TSThreadParams& params) {
    view_.ShowAction(index_, params.EventText);
}

// The device, its variant and its record show in the summary table at the end, not on the lines.
void DeviceOwner::ShowDevice(const TSThreadParams&) {}
void DeviceOwner::ShowVariantLookup(const TSThreadParams&) {}
void DeviceOwner::ShowHistoryRecord(const UpdateHistoryRecorder&, bool, const std::string&) {}

// A question the options answer stays off the lines; so does the answer to one that is asked.
void DeviceOwner::ShowQuestion(const std::string&) {}
void DeviceOwner::ShowAnswer(const std::string&, bool, AnswerSource, const std::string&) {}

void DeviceOwner::ShowInputPrompt(const std::string& question) {
    // Only a run of one device gets here (several need --yes): its question can be asked.
    Io().Out << '\n' << '[' << port_ << "] " << PrintableText(question, true) << " [y/N] ";
}

// Through the view, so the notes land above the redrawn block instead of inside it.
void DeviceOwner::ShowHistoryNotWritten(const std::string& error) {
    view_.Message(Io().Err, "veltrin-cli: " + port_ + ": the update history was not written: " +
                                error);
}

void DeviceOwner::ShowBusyPorts(const TSThreadParams& params) {
    std::ostringstream busy;
    ReportBusyPorts(params, busy);
    std::string note = busy.str();
    if (!note.empty()) {
        note.pop_back();  // Message ends the line itself
        view_.Message(Io().Err, note);
    }
}

void DeviceOwner::ShowEnd(const TSThreadParams& params, bool) {
    leftInBootloader_ = params.LeftInBootloader;
    endText_ = params.EventText;
    findingLines_ = PortFindingLines(params);
    // A device left alone is as it should be: its line ends as a good one.
    view_.ShowEnd(index_, ResultText(), Succeeded() || DeviceLeftAlone() != LeftAlone::No);
}

std::string DeviceOwner::ResultText() const {
    if (!Reported())
        return "no result";
    if (DeviceLeftAlone() != LeftAlone::No)
        return std::string("left alone: ") + LeftAloneText(DeviceLeftAlone());
    if (leftInBootloader_) {
        return std::string("interrupted, in its bootloader (") +
               (Terminated() ? "cancelled" : "code " + std::to_string(ResultCode())) + ")";
    }
    if (Terminated())
        return "cancelled";
    if (ResultCode() == 0)
        return "success";
    const EndTexts texts = ResultTexts(false, ResultCode(), endText_);
    return "code " + std::to_string(ResultCode()) + ": " + TrimText(texts.ErrorText);
}

std::string DeviceOwner::EndAdvice() const {
    return Reported() ? EndAdviceFor(ResultCode(), Terminated(), leftInBootloader_) : "";
}

std::string DeviceOwner::InstalledVersion() const {
    if (!Succeeded())
        return "";
    // The end text of a successful run is "Update <family> Version dd.dd.dd".
    const std::string marker = " Version ";
    const std::size_t at = endText_.rfind(marker);
    return at == std::string::npos ? "" : TrimText(endText_.substr(at + marker.size()));
}

}  // namespace veltrin
