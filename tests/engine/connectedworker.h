#pragma once

#include <memory>

#include "engine/clthreadimpl.h"
#include "simharness.h"

namespace veltrin::testing_support {

// A worker that is not started, connected to a simulator, so a test can call its building
// blocks from its own thread; the events still go through the dispatcher's loop thread.
struct ConnectedWorker {
    RecordingOwner Owner;
    ThreadDispatcher Dispatcher;
    SleepLog Sleeps;
    std::unique_ptr<ClTreadImpl> Worker;

    explicit ConnectedWorker(PipetteSimulator& sim) {
        UpdateThreadSettings settings;
        settings.Sleeper = Sleeps.Sleeper();
        settings.TraceFileName = "";
        Worker = std::make_unique<ClTreadImpl>(Owner, Dispatcher, settings);
        Worker->ConfigureConnection();
        Worker->SelectPort(sim.PortName());
        OpenResult = Worker->Device().Open();
    }
    ~ConnectedWorker() {
        if (Worker)
            Worker->Device().Close();
    }
    int OpenResult = -1;
};

}  // namespace veltrin::testing_support
