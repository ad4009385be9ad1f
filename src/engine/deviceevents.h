#pragma once

#include <cstdint>
#include <string>

#include "engine/threadparams.h"

namespace veltrin {

// What the pipette's operations need from the run that drives them: the action bar and its
// text, the overall bar's steps, the trace, the stop request, pauses and the variant lookup.
// The update worker implements it; every call returns after the owner has seen the event.
class DeviceEvents {
public:
    virtual bool Terminated() const = 0;
    virtual void SetActionMax(std::int32_t n) = 0;
    virtual void SetActionPosition(std::int32_t n) = 0;
    virtual void StepTotal(std::int32_t n) = 0;
    virtual void ShowAction(const std::string& text) = 0;

    // Whether Trace lines are kept: a caller skips building a line nobody reads.
    virtual bool Tracing() const = 0;
    virtual void Trace(const std::string& text) = 0;
    virtual void TraceTimed(const std::string& text) = 0;
    virtual void TraceBlankLine() = 0;

    virtual void Sleep(std::uint32_t milliseconds) = 0;

    // The owner's records of a variant; both all zero and false when it does not know it.
    virtual bool LookupVariant(std::int32_t variantId, std::uint8_t configImage[kConfigImageSize],
                               std::uint8_t paramImage[kParamImageSize]) = 0;
    // The device's variant is known: the owner's device report gets it.
    virtual void ReportVariant(std::int32_t variantId) = 0;

protected:
    ~DeviceEvents() = default;
};

}  // namespace veltrin
