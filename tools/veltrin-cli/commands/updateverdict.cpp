#include "commands/updateverdict.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "args/consent.h"
#include "engine/devicefamily.h"
#include "engine/portcause.h"
#include "engine/threadparams.h"
#include "engine/updatequestions.h"
#include "output/portfindings.h"
#include "owners/ownerhandlers.h"
#include "transport/portlock.h"

namespace veltrin {

namespace {

// The verdict for a supported pipette whose texts were read and whose family has a release:
// the version question the update would ask, answered as --yes answers it.
UpdateVerdict VersionVerdict(const PortProbe& probe, const std::string& release) {
    std::uint8_t releaseText[kVersionTextSize + 1] = {};
    std::memcpy(releaseText, release.data(), std::min(release.size(), sizeof(releaseText) - 1));
    std::uint8_t deviceText[kVersionTextSize + 1] = {};
    std::memcpy(deviceText, probe.VersionText0.data(), probe.VersionText0.size());
    const char* question = VersionQuestionFor(releaseText, deviceText);
    bool answer = true;
    LeftAlone leftAlone = LeftAlone::No;
    if (question != nullptr)
        AnswerFromOptions(ConsentOptions{true, false, false}, question, answer, leftAlone);
    if (leftAlone != LeftAlone::No)
        return {LeftAloneWord(leftAlone), LeftAloneText(leftAlone)};
    return {"update", "update to " + release};
}

}  // namespace

std::string PortCauseFor(const std::string& port, const PortProbe& probe) {
    if (probe.InUse)
        return "in use by another update run (" + PortLockHolderText(probe.Holder) + ")";
    return probe.Cause == kPortCauseDevice ? "" : PortCauseText(PortFindingOf(port, probe));
}

UpdateVerdict VerdictFor(const std::string& port, const PortProbe& probe, const UpdateData* data) {
    if (probe.InUse)
        return {"in-use", PortCauseFor(port, probe)};
    if (probe.Cause == kPortCauseUnsupported)
        return {"not-supported", "not supported"};
    if (probe.Cause != kPortCauseDevice)
        return {"no-device", PortCauseFor(port, probe)};
    if (data == nullptr)
        return {"no-update-data", "update data unavailable"};
    const std::string release = ReleaseVersionFor(*data, probe.Type);
    if (release.empty())
        return {"no-firmware", "no firmware for this family"};
    if (!probe.TextsRead)
        return {"texts-unreadable", "its version and info texts could not be read"};
    return VersionVerdict(probe, release);
}

}  // namespace veltrin
