#include "commands/updaterun.h"

#include "args/tracefilename.h"
#include "commands/commands.h"
#include "events/jsonevents.h"
#include "owners/mainthreaddispatcher.h"
#include "wiring/realtransports.h"

namespace veltrin {

namespace {

constexpr char kNoUpdateData[] =
    "No data found for update.\nPlease check your internet connection.";

}  // namespace

bool TraceFileUsable(const CliArguments& arguments, CliIo& io) {
    std::string traceError;
    if (!arguments.TraceFile.empty() && !CanWriteTraceFile(arguments.TraceFile, traceError)) {
        io.Err << "veltrin-cli: " << traceError << '\n';
        return false;
    }
    return true;
}

bool FetchUpdateDataForRun(const CliArguments& arguments, CliIo& io, UpdateData& data,
                           ClQuorvanVariants& variants, UpdateDownloadReport& report,
                           UpdateEventStream* events) {
    if (FetchUpdateData(arguments, io, data, variants, report, events)) {
        return true;
    }
    if (events != nullptr) {
        EmitEndWithoutRun(*events, kExitNoUpdateData, kNoUpdateData);
    } else {
        io.Out << kNoUpdateData << '\n' << NoUpdateDataCause(report);
    }
    return false;
}

UpdateThreadSettings WorkerSettings(const CliEnvironment& environment,
                                    const std::string& traceFile) {
    UpdateThreadSettings settings;
    settings.MakeCommandSet = MakeRealCommandSet;
    settings.Sleeper = environment.Sleeper;
    if (!traceFile.empty()) {
        settings.TraceFileName = traceFile;
        settings.Trace = true;
    }
    return settings;
}

void RunWorkersToTheirEnd(MainThreadDispatcher& dispatcher, const CliEnvironment& environment,
                          std::vector<RunningWorker>& workers,
                          const std::function<void()>& announceCancel) {
    const auto allEnded = [&workers] {
        for (const auto& worker : workers) {
            if (!worker.Ended())
                return false;
        }
        return true;
    };
    bool cancelled = false;
    dispatcher.RunUntil(allEnded, [&] {
        if (cancelled || environment.Interrupted == nullptr || !environment.Interrupted->load())
            return;
        cancelled = true;
        if (announceCancel)
            announceCancel();
        for (auto& worker : workers) {
            if (!worker.Ended() && worker.Worker != nullptr) {
                if (worker.Events != nullptr)
                    worker.Events->Emit("cancel_requested");
                worker.Worker->Terminate();
            }
        }
    });
    ClTread::JoinFinishedWorkers();
}

}  // namespace veltrin
