#pragma once

#include <string>

namespace veltrin {

// One line that tells a technician what to do after a run that ended with this result code,
// for the failures met most at the bench; empty for the others. The end texts stay as they are;
// this line comes after them, on the terminal only (never in --json, never in the window).
std::string EndAdviceFor(int resultCode);

}  // namespace veltrin
