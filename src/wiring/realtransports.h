#pragma once

#include <memory>

#include "protocol/clconnectall.h"
#include "protocol/clconnectpipetten.h"

namespace veltrin {

// Where the program picks the system's own transports: the IrDA socket and the serial port.
// The protocol layer only knows the connection base; choosing the real transports happens here,
// above both, so that the protocol never includes a transport. Tests that bring transports of
// their own construct the holder directly and never link the system's ports and sockets.

// A holder of the real IrDA and serial transports, serial selected, both closed.
std::unique_ptr<ClConnectAll> MakeRealTransports();

// The pipette command set over a holder of the real transports.
std::unique_ptr<ClConnectPipetten> MakeRealCommandSet();

}  // namespace veltrin
