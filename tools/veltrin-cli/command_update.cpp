// update: a whole run as the window does it: download, device search, update, end texts.

#include <memory>

#include "commands.h"
#include "engine/clthread.h"
#include "mainthreaddispatcher.h"
#include "terminalowner.h"
#include "variantlookup.h"

namespace veltrin {

int RunUpdateCommand(const CliArguments& arguments, CliIo& io, const CliEnvironment& environment) {
    UpdateData data;
    ClQuorvanVariants variants;
    UpdateDownloadReport report;
    if (!FetchUpdateData(arguments, io, data, variants, report)) {
        io.Out << "No data found for update.\nPlease check your internet connection.\n";
        return kExitNoUpdateData;
    }

    TerminalOwner owner(data, MakeVariantLookup(variants), io, arguments.Yes);
    MainThreadDispatcher dispatcher;
    UpdateThreadSettings settings;
    settings.Sleeper = environment.Sleeper;
    // A silent port costs seconds; probed together they cost the slowest one, not the sum.
    settings.ProbeAtOnce = true;
    if (!arguments.Ports.empty()) {
        settings.OverridePorts = true;
        settings.Ports = arguments.Ports;
    }
    io.Out << '\n';
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
                                io.Out << "\nCancelling at the next safe point ...\n";
                                worker->Terminate();
                            }
                        });
    ClTread::JoinFinishedWorkers();
    return owner.ExitStatus();
}

}  // namespace veltrin
