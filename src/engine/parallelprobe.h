#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "common/sleeper.h"
#include "protocol/connectparams.h"

namespace veltrin {

// Asks every port for its device id at the same time, each on its own connection and thread,
// so a search costs the slowest port instead of the sum of all ports: a silent port costs the
// full acknowledge time-outs times the attempts.
//
// connection: the settings every probe uses (its PortName is replaced by each port's name).
// onFinished: runs on the calling thread each time a probe has ended, with the number ended so
// far (1 … names.size()), so progress can advance as probes finish, in whatever order.
// Returns the device type per name, in the order of names; DEVICE_UNKNOWN (0) where the port
// could not be opened or gave no device id. Names are probed as given (callers trim them).
// All probe threads have ended when it returns, also when onFinished throws.
std::vector<int> ProbePortsAtOnce(const std::vector<std::string>& names,
                                  const TSConnectParams& connection, const SleepFunction& sleeper,
                                  const std::function<void(std::size_t finished)>& onFinished);

// One probe on a connection of its own: open, read the device id, close. DEVICE_UNKNOWN when
// the port cannot be opened or does not answer.
int ProbePortOnOwnConnection(const std::string& name, const TSConnectParams& connection,
                             const SleepFunction& sleeper);

}  // namespace veltrin
