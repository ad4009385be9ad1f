#pragma once

#include "engine/clthread.h"
#include "recordingowner.h"
#include "threaddispatcher.h"
#include "wiring/realtransports.h"

namespace veltrin::testing_support {

// Starts a worker for owner on dispatcher's loop thread and waits until it has ended, released
// its objects and been joined; on the real command set unless the settings bring one. The loop
// is held until the owner knows its worker, so handlers can stop it from the first event on.
inline void RunWorkerToEnd(RecordingOwner& owner, ThreadDispatcher& dispatcher,
                           UpdateThreadSettings settings) {
    if (!settings.MakeCommandSet)
        settings.MakeCommandSet = MakeRealCommandSet;
    dispatcher.Hold();
    owner.Worker = ClTread::Start(owner, dispatcher, std::move(settings));
    dispatcher.Release();
    owner.WaitEnded();
    owner.Worker = nullptr;
    ClTread::JoinFinishedWorkers();
}

}  // namespace veltrin::testing_support
