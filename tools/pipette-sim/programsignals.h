#pragma once

namespace veltrin {

enum class ProgramSignal { Stop, Unplug, Plug };

// Blocks SIGINT, SIGTERM, SIGUSR1 and SIGUSR2 for the calling thread and every thread it starts
// later, so that only WaitForProgramSignal receives them. Call before starting threads.
void BlockProgramSignals();
// Waits for the next of those signals.
ProgramSignal WaitForProgramSignal();

}  // namespace veltrin
