#include "windowlogic/updateservices.h"

#include <memory>
#include <utility>

#include "common/texttrim.h"
#include "diagnostics/clprotocol.h"
#include "download/updatedatareason.h"
#include "history/historyfile.h"

namespace veltrin {

MainWindowServices UpdateServices(const std::string& serverBase, HttpsClientOptions options,
                                  UpdateThreadSettings settings) {
    auto client = std::make_shared<HttpsClient>(std::move(options));
    MainWindowServices services;
    services.Download = [client, serverBase, settings](UpdateData& data,
                                                       ClQuorvanVariants& variants,
                                                       const DownloadLabelFunction& label) {
        UpdateDownloadReport report;
        veltrin::DownloadUpdateData(*client, serverBase, data, variants, label, &report);
        // The window shows only "No data found for update."; the reason goes to the trace,
        // where a service technician looks for it.
        if (settings.Trace && IsBlankText(data.VersionQuorvanOtg) &&
            IsBlankText(data.VersionTarnovelleK7)) {
            ClProtocol trace;
            trace.SetFileName(settings.TraceFileName);
            trace.WriteTimedLine("No data found for update: " + NoUpdateDataReason(report));
        }
    };
    services.StartWorker = [settings](UpdateThreadOwner& owner, Dispatcher& dispatcher) {
        return ClTread::Start(owner, dispatcher, settings);
    };
    services.JoinWorkers = [] { ClTread::JoinFinishedWorkers(); };
    return services;
}

MainWindowServices DefaultServices(CommandSetFactory makeCommandSet) {
    UpdateThreadSettings settings;
    settings.MakeCommandSet = std::move(makeCommandSet);
    MainWindowServices services =
        UpdateServices(DefaultUpdateServerBase(), {}, std::move(settings));
    services.HistoryFile = DefaultHistoryFile();
    return services;
}

}  // namespace veltrin
