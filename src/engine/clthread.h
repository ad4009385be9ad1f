#pragma once

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "common/sleeper.h"
#include "engine/commandsetfactory.h"
#include "engine/threadowner.h"

namespace veltrin {

// What an owner may choose for a worker beyond the fixed update settings.
struct UpdateThreadSettings {
    // The worker's command set, and the one of each port probed at once; without it no worker
    // starts.
    CommandSetFactory MakeCommandSet;
    // Every pause of the run (countdowns, the pause for a skipped block, retry delays).
    SleepFunction Sleeper;  // null: real sleeps
    // When set, the device search probes exactly these port names instead of the system's.
    bool OverridePorts = false;
    std::vector<std::string> Ports;
    // When set, the search probes every port at once, each on its own connection, with the same
    // outcome as probing them one after the other; a silent port then no longer delays the others.
    bool ProbeAtOnce = false;
    // The worker deletes its trace file when it starts; with Trace set it then writes the trace
    // of its run there (steps, memory blocks and their results). Off unless asked for.
    std::string TraceFileName = "Protokoll.txt";
    bool Trace = false;
    // Starts the worker's thread with body; null: std::thread. Like std::thread it throws
    // std::system_error when the system refuses a thread; tests use it to make that happen.
    std::function<std::thread(std::function<void()>)> LaunchThread;
};

class ClTreadImpl;

// The worker that carries out one update attempt. Created running; it reports every event to
// its owner through the dispatcher and ends with ReportEnd, then (on the owner's thread) releases
// its objects and calls the owner's UpdateThreadEnded. The engine frees the worker itself after
// that; the owner must not delete it. A worker is never restarted.
class ClTread {
public:
    // The running worker, or null when none could be created (no command set, no thread could
    // be started, no memory); nothing is reported to the owner then. Never throws.
    static ClTread* Start(UpdateThreadOwner& owner, Dispatcher& dispatcher,
                          UpdateThreadSettings settings = {});

    // Asks the worker to stop at its next check point. Safe from any thread.
    virtual void Terminate() = 0;
    virtual bool Terminated() const = 0;

    // Joins every finished worker thread; the owner calls it before the program ends.
    static void JoinFinishedWorkers();

protected:
    virtual ~ClTread() = default;
};

}  // namespace veltrin
