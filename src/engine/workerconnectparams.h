#pragma once

#include "protocol/connectparams.h"

namespace veltrin {

// The connection settings every update worker uses (PortName left empty); the command-line
// probe uses them too, so that it sees what an update would see.
TSConnectParams WorkerConnectParams();

}  // namespace veltrin
