#pragma once

namespace veltrin {

// Whether the standard input / output is an interactive terminal.
bool IsTerminalInput();
bool IsTerminalOutput();

// Makes every line printed reach a pipe or file as soon as it ends, so that the log of a run
// that was killed is whole up to its last line. Call before the first output.
void UseLineBufferedOutput();

}  // namespace veltrin
