#pragma once

#include <string>

namespace veltrin {

// One line that tells a technician what to do after a run that ended with this result code,
// for the failures met most at the bench; empty for the others. The end texts stay as they are;
// this line comes after them, on the terminal only (never in --json, never in the window).
std::string EndAdviceFor(int resultCode);

// The line for a run's end as a whole: a pipette that the run left waiting in its bootloader
// (a write that failed, a connection lost or a cancel in the write) is told apart from one that
// still runs its application, whatever the code; a cancel elsewhere needs no advice.
std::string EndAdviceFor(int resultCode, bool terminated, bool leftInBootloader);

}  // namespace veltrin
