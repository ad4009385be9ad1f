#pragma once

#include <cstdint>

// The codes themselves sit below the worker, beside the words that end a run, so that those
// words name them too.
#include "report/resultcodes.h"

namespace veltrin {

// What a run ends with when the worker itself fails (out of memory, a handler that throws): the
// worker lacks what it needs to go on, as when it has no HEX reader.
constexpr std::int32_t kUpdateWorkerFault = kUpdateNoHexReader;

// What a run ends with when the only pipettes it could reach are on ports another update run
// holds: their port cannot be had, as when it cannot be opened. The end event's BusyPorts say
// which ports and who holds them.
constexpr std::int32_t kUpdatePortInUse = kUpdateOpenFailed;

}  // namespace veltrin
