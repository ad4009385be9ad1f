#pragma once

namespace veltrin {

// Whether the standard input / output is an interactive terminal.
bool IsTerminalInput();
bool IsTerminalOutput();

}  // namespace veltrin
