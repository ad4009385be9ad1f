#pragma once

#include <string>

#include "protocol/connectparams.h"

namespace veltrin {

constexpr int kSerialTransport = TRANSPORT_SERIAL;

// The settings the update worker probes ports with, so that probe sees what an update sees:
// 230400 baud 8N1, CRC-16/ARC both ways with 2-byte length prefixes, 3 attempts, 3000 ms for the
// acknowledge and 10000 ms per answer byte.
TSConnectParams ProbeConnectParams();

// The settings with a port name, trimmed. A name too long for the record is left out (empty)
// rather than cut, since the cut name could be another port's.
TSConnectParams ProbeConnectParamsFor(const std::string& portName);

}  // namespace veltrin
