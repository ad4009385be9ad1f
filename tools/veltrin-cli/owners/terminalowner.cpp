#include "owners/terminalowner.h"

#include "common/printabletext.h"
#include "common/texttrim.h"
#include "output/endadvice.h"
#include "output/portfindings.h"
#include "protocol/devicetypes.h"
#include "report/endtexts.h"

namespace veltrin {

namespace {

std::string OrDash(const std::string& text) {
    return text.empty() ? "-" : text;
}

}  // namespace

TerminalOwner::TerminalOwner(const UpdateData& data, VariantLookupFunction lookup, CliIo& io,
                             ConsentOptions consent, UpdateHistoryRecorder* history)
    : RunOwner(data, std::move(lookup), io, consent, history),
      progress_(io.Out, io.OutIsTerminal) {}

void TerminalOwner::ShowStart() {
    named_ = false;
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

// The terminal names the device before its first question instead.
void TerminalOwner::ShowDevice(const TSThreadParams&) {}

void TerminalOwner::ShowVariantLookup(const TSThreadParams&) {}

void TerminalOwner::NameDevice() {
    // Before its first question the user learns which pipette it is and what it would get.
    const TSDeviceReport& device = Device();
    std::ostream& out = Io().Out;
    out << "\nPipette on " << PrintableText(device.Port) << ": "
        << DeviceTypeText(device.DeviceType);
    if (!TrimText(device.InfoText).empty())
        out << ", " << PrintableText(TrimText(device.InfoText));
    const std::string release = ReleaseVersionFor(Data(), device.DeviceType);
    out << "\n  installed " << PrintableText(OrDash(TrimText(device.VersionText0))) << ", release "
        << OrDash(release) << '\n';
}

void TerminalOwner::ShowQuestion(const std::string& question) {
    if (!named_) {
        named_ = true;
        progress_.Release();
        NameDevice();
    }
    progress_.Release();
    Io().Out << '\n' << PrintableText(question, true) << " [y/N] ";
}

void TerminalOwner::ShowAnswer(const std::string&, bool answer, AnswerSource source,
                               const std::string& typed) {
    switch (source) {
        case AnswerSource::Options:
            Io().Out << (answer ? "y (--yes)\n" : "n (--yes leaves it alone)\n");
            break;
        case AnswerSource::NoInput:
            Io().Out << "(no answer: No)\n";
            break;
        case AnswerSource::Input:
            if (!Io().InIsTerminal) {
                Io().Out << typed << '\n';  // show what a script answered
            }
            break;
    }
}

// A record that could not be written is named on the error stream for every view alike.
void TerminalOwner::ShowHistoryRecord(const UpdateHistoryRecorder&, bool, const std::string&) {}

void TerminalOwner::ShowEnd(const TSThreadParams& params, bool terminated) {
    std::ostream& out = Io().Out;
    progress_.Release();
    if (DeviceLeftAlone() != LeftAlone::No) {
        PrintLeftAlone();
        return;
    }
    const EndTexts texts = ResultTexts(terminated, params.ResultCode, params.EventText);
    // The end text may carry what the device said.
    out << '\n' << texts.Caption << ": " << PrintableText(texts.Status, true) << '\n';
    if (!texts.ErrorText.empty()) {
        out << PrintableText(texts.ErrorText, true) << '\n';
    }
    if (!texts.Message.empty()) {
        out << PrintableText(texts.Message, true) << '\n';
    }
    std::string advice = terminated ? "" : PortInUseAdvice(params);
    if (advice.empty())
        advice = EndAdviceFor(params.ResultCode, terminated, params.LeftInBootloader);
    if (!advice.empty()) {
        out << advice << '\n';
    }
    // After the end texts and the advice: what stood in the way on each port asked.
    for (const std::string& line : PortFindingLines(params))
        out << line << '\n';
    out.flush();
}

void TerminalOwner::PrintLeftAlone() {
    const LeftAlone why = DeviceLeftAlone();
    Io().Out << "\nLeft alone: the pipette is " << LeftAloneText(why) << " (installed "
             << PrintableText(TrimText(Device().VersionText0), true) << ", release "
             << ReleaseVersionFor(Data(), Device().DeviceType)
             << "); nothing was written and its adjustments are kept.\n"
             << "To update it anyway, run again with --yes " << LeftAloneOption(why) << ".\n";
    Io().Out.flush();
}

}  // namespace veltrin
