#pragma once

#include <functional>
#include <memory>

#include "protocol/clconnectpipetten.h"

namespace veltrin {

// Makes a command set over the transports its front end chose (for the system's own ports
// MakeRealCommandSet of src/wiring). The engine never picks transports itself: the same worker
// and probes then also run over whatever a front end or a test brings. Probes taken at once call
// it from several threads together.
using CommandSetFactory = std::function<std::unique_ptr<ClConnectPipetten>()>;

}  // namespace veltrin
