#pragma once

#include <functional>
#include <string>
#include <vector>

#include "args/cliarguments.h"
#include "data/clquorvanvariants.h"
#include "download/updatedownload.h"
#include "engine/clthread.h"
#include "output/cliio.h"

namespace veltrin {

class MainThreadDispatcher;
class UpdateEventStream;

// What the update of one device and the update of several do alike before, around and after
// their workers; what differs between them is only how a run is shown.

// False, with the reason on the error stream, when --trace names a file that cannot be written:
// the command ends with kExitUsage before anything is fetched.
bool TraceFileUsable(const CliArguments& arguments, CliIo& io);

// Fetches the update data. Without usable data it says so (as text, or with events as the end of
// a run that never began) and returns false: the command ends with kExitNoUpdateData.
bool FetchUpdateDataForRun(const CliArguments& arguments, CliIo& io, UpdateData& data,
                           ClQuorvanVariants& variants, UpdateDownloadReport& report,
                           UpdateEventStream* events);

// The settings every worker of the command line starts with: the program's pauses and its trace
// file (none when traceFile is empty).
UpdateThreadSettings WorkerSettings(const CliEnvironment& environment,
                                    const std::string& traceFile);

// A worker the main thread waits for.
struct RunningWorker {
    ClTread* Worker = nullptr;            // null: it never started, and has ended
    UpdateEventStream* Events = nullptr;  // with --json: where its cancel request is told
    std::function<bool()> Ended;
};

// Runs the workers' events on the main thread until every one has ended, then joins them. The
// first interrupt (Ctrl+C, a stop signal) is announced once and asks each worker still running
// to stop at its next safe point; a worker lives until its end has been handled here, so each
// can still be asked.
void RunWorkersToTheirEnd(MainThreadDispatcher& dispatcher, const CliEnvironment& environment,
                          std::vector<RunningWorker>& workers,
                          const std::function<void()>& announceCancel);

}  // namespace veltrin
