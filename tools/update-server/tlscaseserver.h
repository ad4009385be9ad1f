#pragma once

#include <string>

namespace veltrin::tools {

// Serves every certificate chain NAME.pem (with its key NAME.key) of pkiDirectory, except the
// root, on a loopback port of its own, and one more listener "switching" that presents
// leaf-from-root on its first connection and forged-leaf on every later one (an attacker who
// takes over once the client has seen the genuine server). Every answer is 200 with the case
// name as body and a cookie (a path ending in "/bye" also closes the connection); every request
// head received is appended to logDirectory/NAME.log after a "CONNECTION n" line, so a test can
// tell what reached a server it should have refused. Prints "NAME ORIGIN" per
// listener, then "ready", and runs until killed. Returns a process exit code on failure.
int RunTlsCaseServer(const std::string& pkiDirectory, const std::string& logDirectory);

}  // namespace veltrin::tools
