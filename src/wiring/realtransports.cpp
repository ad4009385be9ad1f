#include "wiring/realtransports.h"

#include "transport/clconnectcomport.h"
#include "transport/clconnectirda.h"

namespace veltrin {

std::unique_ptr<ClConnectAll> MakeRealTransports() {
    return std::make_unique<ClConnectAll>(std::make_unique<ClConnectIrda>(),
                                          std::make_unique<ClConnectComport>());
}

std::unique_ptr<ClConnectPipetten> MakeRealCommandSet() {
    return std::make_unique<ClConnectPipetten>(MakeRealTransports());
}

}  // namespace veltrin
