#pragma once

#include <memory>

#include "engine/clthreadimpl.h"
#include "engine/pipettedevice.h"
#include "simharness.h"
#include "wiring/realtransports.h"

namespace veltrin::testing_support {

// A worker that is not started, connected to a simulator, and the pipette object over its
// connection, so a test can call the building blocks from its own thread; the events still go
// through the dispatcher's loop thread.
struct ConnectedWorker {
    RecordingOwner Owner;
    ThreadDispatcher Dispatcher;
    SleepLog Sleeps;
    std::unique_ptr<ClTreadImpl> Worker;
    std::unique_ptr<PipetteDevice> Device;

    explicit ConnectedWorker(PipetteSimulator& sim) {
        UpdateThreadSettings settings;
        settings.MakeCommandSet = MakeRealCommandSet;
        settings.Sleeper = Sleeps.Sleeper();
        settings.TraceFileName = "";
        Worker = std::make_unique<ClTreadImpl>(Owner, Dispatcher, settings);
        Worker->ConfigureConnection();
        Worker->SelectPort(sim.PortName());
        Device =
            std::make_unique<PipetteDevice>(Worker->Connection(), *Worker->HexReader(), *Worker);
        OpenResult = Device->Connection().Open();
    }
    ~ConnectedWorker() {
        if (Device)
            Device->Connection().Close();
    }
    int OpenResult = -1;
};

}  // namespace veltrin::testing_support
