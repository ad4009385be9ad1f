#include <unistd.h>

#include <cstdio>

#include "platform/terminal.h"

namespace veltrin {

bool IsTerminalInput() {
    return ::isatty(STDIN_FILENO) == 1;
}

bool IsTerminalOutput() {
    return ::isatty(STDOUT_FILENO) == 1;
}

void UseLineBufferedOutput() {
    // Standard error is unbuffered already.
    std::setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
}

}  // namespace veltrin
