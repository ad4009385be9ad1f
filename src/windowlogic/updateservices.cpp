#include "windowlogic/updateservices.h"

#include <memory>

namespace veltrin {

MainWindowServices UpdateServices(const std::string& serverBase, HttpsClientOptions options,
                                  UpdateThreadSettings settings) {
    auto client = std::make_shared<HttpsClient>(std::move(options));
    MainWindowServices services;
    services.Download = [client, serverBase](UpdateData& data, ClQuorvanVariants& variants,
                                             const DownloadLabelFunction& label) {
        veltrin::DownloadUpdateData(*client, serverBase, data, variants, label);
    };
    services.StartWorker = [settings](UpdateThreadOwner& owner, Dispatcher& dispatcher) {
        return ClTread::Start(owner, dispatcher, settings);
    };
    services.JoinWorkers = [] { ClTread::JoinFinishedWorkers(); };
    return services;
}

MainWindowServices DefaultServices() {
    return UpdateServices(DefaultUpdateServerBase());
}

}  // namespace veltrin
