#pragma once

#include <string>

#include "support/scriptedpeer.h"

namespace veltrin::winserial {

// The device side of one framing case, played to the Windows program on the other end of the
// line. Each name matches a test of the Windows serial test program that drives the host side.
// False for an unknown name.
bool ScriptLinePeer(const std::string& name, testsupport::ScriptedPeer& peer);

}  // namespace veltrin::winserial
