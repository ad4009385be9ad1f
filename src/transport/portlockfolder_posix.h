#pragma once

#include <string>
#include <vector>

namespace veltrin {

// The first of the candidates that is a folder every user may write to and that keeps each
// user's files from the others (world-writable and sticky, as /run/lock and /tmp are), after
// following links; empty when none is. The answer does not depend on the user who asks.
std::string SharedLockFolder(const std::vector<std::string>& candidates);

}  // namespace veltrin
