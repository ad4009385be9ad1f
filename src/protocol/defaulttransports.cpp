// Where the real transports are chosen: the holder's own IrDA and serial transports, and the
// command set over a holder of them. Kept apart so that tests which bring transports of their
// own link without the system's ports and sockets.
#include "protocol/clconnectall.h"
#include "protocol/clconnectpipetten.h"
#include "transport/clconnectcomport.h"
#include "transport/clconnectirda.h"

namespace veltrin {

ClConnectAll::ClConnectAll()
    : ClConnectAll(std::make_unique<ClConnectIrda>(), std::make_unique<ClConnectComport>()) {}

ClConnectPipetten::ClConnectPipetten() : ClConnectPipetten(std::make_unique<ClConnectAll>()) {}

}  // namespace veltrin
