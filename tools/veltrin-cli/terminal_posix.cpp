#include <unistd.h>

#include "terminal.h"

namespace veltrin {

bool IsTerminalInput() {
    return ::isatty(STDIN_FILENO) == 1;
}

bool IsTerminalOutput() {
    return ::isatty(STDOUT_FILENO) == 1;
}

}  // namespace veltrin
