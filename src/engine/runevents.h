#pragma once

#include <cstdint>
#include <string>

#include "engine/deviceevents.h"
#include "engine/threadparams.h"

namespace veltrin {

// What the update sequence needs from its run beyond the device's own events: the titles, the
// overall bar, the questions, the device report and the record shared with the owner, the
// trace's step headings and the stop. The update worker implements it.
class RunEvents : public DeviceEvents {
public:
    virtual void Terminate() = 0;
    virtual TSThreadParams& Params() = 0;
    virtual void SetTotalMax(std::int32_t n) = 0;
    virtual void SetTotalPosition(std::int32_t n) = 0;
    virtual void ShowTitle(const std::string& text) = 0;
    virtual bool AskYesNo(const std::string& text) = 0;
    virtual void ReportDevice() = 0;
    // Blank line, separator, the step text, separator.
    virtual void AnnounceStep(const std::string& text) = 0;

protected:
    ~RunEvents() = default;
};

}  // namespace veltrin
