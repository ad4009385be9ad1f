// update: a whole run as the window does it: download, device search, update, end texts.

#include <memory>

#include "args/tracefilename.h"
#include "commands/commands.h"
#include "commands/variantlookup.h"
#include "engine/clthread.h"
#include "events/jsonevents.h"
#include "history/historyrecorder.h"
#include "owners/jsoneventsowner.h"
#include "owners/mainthreaddispatcher.h"
#include "owners/terminalowner.h"

namespace veltrin {

namespace {

constexpr char kNoUpdateData[] =
    "No data found for update.\nPlease check your internet connection.";

}  // namespace

int RunUpdateCommand(const CliArguments& arguments, CliIo& io, const CliEnvironment& environment) {
    std::string traceError;
    if (!arguments.TraceFile.empty() && !CanWriteTraceFile(arguments.TraceFile, traceError)) {
        io.Err << "veltrin-cli: " << traceError << '\n';
        return kExitUsage;
    }
    // Until the search names the device's port, the events carry the one port asked for.
    std::unique_ptr<UpdateEventStream> events;
    if (arguments.Json) {
        events = std::make_unique<UpdateEventStream>(
            io.Out, arguments.Ports.size() == 1 ? arguments.Ports.front() : std::string());
    }
    UpdateData data;
    ClQuorvanVariants variants;
    UpdateDownloadReport report;
    if (!FetchUpdateData(arguments, io, data, variants, report, events.get())) {
        if (events) {
            EmitEndWithoutRun(*events, kExitNoUpdateData, kNoUpdateData);
        } else {
            io.Out << kNoUpdateData << '\n' << NoUpdateDataCause(report);
        }
        return kExitNoUpdateData;
    }

    UpdateHistoryRecorder history("veltrin-cli", arguments.HistoryFile.empty()
                                                     ? environment.HistoryFile
                                                     : arguments.HistoryFile);
    history.NoteUpdateData(data);
    std::unique_ptr<RunOwner> shown;
    if (events) {
        shown = std::make_unique<JsonEventsOwner>(data, MakeVariantLookup(variants), io,
                                                  ConsentFrom(arguments), *events, &history);
    } else {
        shown = std::make_unique<TerminalOwner>(data, MakeVariantLookup(variants), io,
                                                ConsentFrom(arguments), &history);
    }
    RunOwner& owner = *shown;
    MainThreadDispatcher dispatcher;
    UpdateThreadSettings settings;
    settings.Sleeper = environment.Sleeper;
    // A silent port costs seconds; probed together they cost the slowest one, not the sum.
    settings.ProbeAtOnce = true;
    if (!arguments.TraceFile.empty()) {
        settings.TraceFileName = arguments.TraceFile;
        settings.Trace = true;
    }
    if (!arguments.Ports.empty()) {
        settings.OverridePorts = true;
        settings.Ports = arguments.Ports;
    }
    if (!events) {
        io.Out << '\n';
    }
    ClTread* worker = ClTread::Start(owner, dispatcher, settings);
    if (worker == nullptr) {
        io.Err << "veltrin-cli: the update could not be started\n";
        return kExitFailure;
    }
    bool cancelled = false;
    dispatcher.RunUntil([&owner] { return owner.Ended(); },
                        [&] {
                            // The worker lives until its end has been handled here, so it can still
                            // be asked.
                            if (!cancelled && environment.Interrupted != nullptr &&
                                environment.Interrupted->load()) {
                                cancelled = true;
                                if (events) {
                                    events->Emit("cancel_requested");
                                } else {
                                    io.Out << "\nCancelling at the next safe point ...\n";
                                }
                                worker->Terminate();
                            }
                        });
    ClTread::JoinFinishedWorkers();
    if (!events) {
        io.Out << RefusedVariantsNote(data, report);
    }
    return owner.ExitStatus();
}

}  // namespace veltrin
