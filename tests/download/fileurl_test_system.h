#pragma once

#include <string>
#include <vector>

#include "support/tempdirectory.h"

namespace veltrin::test {

// file:// URLs of things this system has that are no regular files: pipes and devices,
// made in dir where they have to be made.
std::vector<std::string> NonRegularFileUrls(const TempDirectory& dir);

}  // namespace veltrin::test
