#pragma once

#include <functional>

#include "engine/threadparams.h"

namespace veltrin {

// Runs functions on the owner's thread (the UI thread of a window, the main thread of the
// command-line front end). The worker uses it for every event.
class Dispatcher {
public:
    virtual ~Dispatcher() = default;
    // Runs fn on the owner's thread and returns only after it has returned. Never called from
    // the owner's thread itself.
    virtual void RunAndWait(std::function<void()> fn) = 0;
    // Queues fn to run on the owner's thread later and returns at once.
    virtual void Post(std::function<void()> fn) = 0;
};

// The owner of a worker: the main window or the command-line front end. Every handler runs on
// the owner's thread while the worker waits; params is the worker's own record.
class UpdateThreadOwner {
public:
    virtual ~UpdateThreadOwner() = default;
    // Copies the four firmware texts into params.
    virtual void ThreadFetchParams(TSThreadParams& params) = 0;
    virtual void ThreadSetTotalMax(TSThreadParams& params) = 0;       // EventValue
    virtual void ThreadSetTotalPosition(TSThreadParams& params) = 0;  // EventValue
    virtual void ThreadStepTotal(TSThreadParams& params) = 0;         // EventValue
    virtual void ThreadSetActionMax(TSThreadParams& params) = 0;      // EventValue
    virtual void ThreadSetActionPosition(TSThreadParams& params) = 0;  // EventValue
    virtual void ThreadShowTitle(TSThreadParams& params) = 0;         // EventText
    virtual void ThreadShowAction(TSThreadParams& params) = 0;        // EventText
    // Asks EventText; stores the answer (true = Yes) in EventAnswer.
    virtual void ThreadAskYesNo(TSThreadParams& params) = 0;
    // The end of a run: ResultCode and EventText, with the worker's termination flag.
    virtual void ThreadReportEnd(TSThreadParams& params, bool terminated) = 0;
    // Looks up VariantId; fills DeviceParamsA/B (zeros when not found) and EventAnswer.
    virtual void ThreadLookupVariant(TSThreadParams& params) = 0;
    // The worker found its device (Device: port and type) and later learnt more of it (its
    // texts, its variant id); every call carries all that is known so far.
    virtual void ThreadReportDevice(TSThreadParams& params) = 0;
    // The worker has ended and released its objects; runs on the owner's thread.
    virtual void UpdateThreadEnded() = 0;
};

}  // namespace veltrin
