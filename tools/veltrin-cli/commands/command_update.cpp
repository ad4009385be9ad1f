// update: a whole run as the window does it: download, device search, update, end texts.

#include <functional>
#include <memory>
#include <vector>

#include "commands/commands.h"
#include "commands/updaterun.h"
#include "commands/variantlookup.h"
#include "engine/clthread.h"
#include "events/jsonevents.h"
#include "history/historyrecorder.h"
#include "owners/jsoneventsowner.h"
#include "owners/mainthreaddispatcher.h"
#include "owners/terminalowner.h"

namespace veltrin {

int RunUpdateCommand(const CliArguments& arguments, CliIo& io, const CliEnvironment& environment) {
    if (!TraceFileUsable(arguments, io)) {
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
    if (!FetchUpdateDataForRun(arguments, io, data, variants, report, events.get())) {
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
    UpdateThreadSettings settings = WorkerSettings(environment, arguments.TraceFile);
    // A silent port costs seconds; probed together they cost the slowest one, not the sum.
    settings.ProbeAtOnce = true;
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
    std::vector<RunningWorker> workers = {
        {worker, events.get(), [&owner] { return owner.Ended(); }}};
    std::function<void()> announceCancel;
    if (!events) {
        announceCancel = [&io] { io.Out << "\nCancelling at the next safe point ...\n"; };
    }
    RunWorkersToTheirEnd(dispatcher, environment, workers, announceCancel);
    if (!events) {
        io.Out << RefusedVariantsNote(data, report);
    }
    return owner.ExitStatus();
}

}  // namespace veltrin
