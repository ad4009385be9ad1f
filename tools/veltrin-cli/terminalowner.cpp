#include "terminalowner.h"

#include <algorithm>
#include <cctype>

#include "common/texttrim.h"
#include "ownerhandlers.h"
#include "report/endtexts.h"

namespace veltrin {

namespace {

bool IsYes(std::string answer) {
    std::transform(answer.begin(), answer.end(), answer.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return answer == "y" || answer == "yes";
}

}  // namespace

TerminalOwner::TerminalOwner(const UpdateData& data, VariantLookupFunction lookup, CliIo& io,
                             bool answerYes)
    : data_(data),
      lookup_(std::move(lookup)),
      io_(io),
      answerYes_(answerYes),
      progress_(io.Out, io.OutIsTerminal) {}

void TerminalOwner::ThreadFetchParams(TSThreadParams& params) {
    CopyFirmwareInto(data_, params);
}

void TerminalOwner::ThreadSetTotalMax(TSThreadParams& params) {
    progress_.SetTotalMax(params.EventValue);
}

void TerminalOwner::ThreadSetTotalPosition(TSThreadParams& params) {
    progress_.SetTotalPosition(params.EventValue);
}

void TerminalOwner::ThreadStepTotal(TSThreadParams& params) {
    progress_.StepTotal(params.EventValue);
}

void TerminalOwner::ThreadSetActionMax(TSThreadParams& params) {
    progress_.SetActionMax(params.EventValue);
}

void TerminalOwner::ThreadSetActionPosition(TSThreadParams& params) {
    progress_.SetActionPosition(params.EventValue);
}

void TerminalOwner::ThreadShowTitle(TSThreadParams& params) {
    progress_.ShowTitle(params.EventText);
}

void TerminalOwner::ThreadShowAction(TSThreadParams& params) {
    progress_.ShowAction(params.EventText);
}

void TerminalOwner::ThreadAskYesNo(TSThreadParams& params) {
    progress_.Release();
    io_.Out << '\n' << TrimText(params.EventText) << " [y/N] ";
    if (answerYes_) {
        io_.Out << "y (--yes)\n";
        params.EventAnswer = 1;
        return;
    }
    io_.Out.flush();
    std::string answer;
    if (!std::getline(io_.In, answer)) {
        io_.Out << "(no answer: No)\n";
        params.EventAnswer = 0;
        return;
    }
    if (!io_.InIsTerminal) {
        io_.Out << TrimText(answer) << '\n';  // show what a script answered
    }
    params.EventAnswer = IsYes(TrimText(answer)) ? 1 : 0;
}

void TerminalOwner::ThreadReportEnd(TSThreadParams& params, bool terminated) {
    progress_.Release();
    reported_ = true;
    terminated_ = terminated;
    resultCode_ = params.ResultCode;
    const EndTexts texts = ResultTexts(terminated, params.ResultCode, params.EventText);
    io_.Out << '\n' << texts.Caption << ": " << texts.Status << '\n';
    if (!texts.ErrorText.empty()) {
        io_.Out << texts.ErrorText << '\n';
    }
    if (!texts.Message.empty()) {
        io_.Out << texts.Message << '\n';
    }
    io_.Out.flush();
}

void TerminalOwner::ThreadLookupVariant(TSThreadParams& params) {
    LookupVariantInto(lookup_, params);
}

void TerminalOwner::UpdateThreadEnded() {
    ended_ = true;
}

int TerminalOwner::ExitStatus() const {
    if (!reported_) {
        return kExitFailure;
    }
    if (terminated_) {
        return kExitCancelled;
    }
    return resultCode_;
}

}  // namespace veltrin
