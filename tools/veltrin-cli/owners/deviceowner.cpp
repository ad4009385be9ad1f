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
    : index_(index),
      port_(std::move(port)),
      data_(data),
      lookup_(std::move(lookup)),
      view_(view),
      io_(io),
      consent_(consent),
      history_(history) {}

void DeviceOwner::ThreadFetchParams(TSThreadParams& params) {
    if (history_ != nullptr)
        history_->RunStarted();
    CopyFirmwareInto(data_, params);
}

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

void DeviceOwner::ThreadAskYesNo(TSThreadParams& params) {
    bool optionAnswer = false;
    if (AnswerFromOptions(consent_, params.EventText, optionAnswer, leftAlone_)) {
        params.EventAnswer = optionAnswer ? 1 : 0;
        return;
    }
    // Only a run of one device gets here (several need --yes): its question can be asked.
    io_.Out << '\n'
            << '[' << port_ << "] " << PrintableText(TrimText(params.EventText), true) << " [y/N] ";
    io_.Out.flush();
    std::string answer;
    params.EventAnswer = 0;
    if (std::getline(io_.In, answer)) {
        answer = TrimText(answer);
        params.EventAnswer = (answer == "y" || answer == "Y" || answer == "yes" ||
                              answer == "Yes" || answer == "YES")
                                 ? 1
                                 : 0;
    }
}

void DeviceOwner::ThreadReportEnd(TSThreadParams& params, bool terminated) {
    reported_ = true;
    terminated_ = terminated;
    resultCode_ = params.ResultCode;
    leftInBootloader_ = params.LeftInBootloader;
    endText_ = params.EventText;
    findingLines_ = PortFindingLines(params);
    // A device left alone is as it should be: its line ends as a good one.
    view_.ShowEnd(index_, ResultText(), Succeeded() || DeviceLeftAlone() != LeftAlone::No);
    // Through the view, so the note lands above the redrawn block instead of inside it.
    std::ostringstream busy;
    ReportBusyPorts(params, busy);
    std::string note = busy.str();
    if (!note.empty()) {
        note.pop_back();  // Message ends the line itself
        view_.Message(io_.Err, note);
    }
    if (history_ != nullptr) {
        if (DeviceLeftAlone() != LeftAlone::No)
            history_->LeftDeviceAlone(LeftAloneWord(DeviceLeftAlone()));
        std::string error;
        // The update's result stands whatever happens to its record; only say so.
        if (history_->RunEnded(params.ResultCode, terminated, error) != 0)
            view_.Message(io_.Err, "veltrin-cli: " + port_ +
                                       ": the update history was not written: " + error);
    }
}

void DeviceOwner::ThreadReportDevice(TSThreadParams& params) {
    device_ = params.Device;
    if (history_ != nullptr)
        history_->DeviceReported(params.Device);
}

void DeviceOwner::ThreadLookupVariant(TSThreadParams& params) {
    LookupVariantInto(lookup_, params);
}

void DeviceOwner::UpdateThreadEnded() {
    ended_ = true;
}

std::string DeviceOwner::ResultText() const {
    if (!reported_)
        return "no result";
    if (DeviceLeftAlone() != LeftAlone::No)
        return std::string("left alone: ") + LeftAloneText(DeviceLeftAlone());
    if (leftInBootloader_) {
        return std::string("interrupted, in its bootloader (") +
               (terminated_ ? "cancelled" : "code " + std::to_string(resultCode_)) + ")";
    }
    if (terminated_)
        return "cancelled";
    if (resultCode_ == 0)
        return "success";
    const EndTexts texts = ResultTexts(false, resultCode_, endText_);
    return "code " + std::to_string(resultCode_) + ": " + TrimText(texts.ErrorText);
}

std::string DeviceOwner::EndAdvice() const {
    return reported_ ? EndAdviceFor(resultCode_, terminated_, leftInBootloader_) : "";
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
