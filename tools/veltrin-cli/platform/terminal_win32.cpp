#include <io.h>

#include <cstdio>

#include "platform/terminal.h"

namespace veltrin {

bool IsTerminalInput() {
    return _isatty(_fileno(stdin)) != 0;
}

bool IsTerminalOutput() {
    return _isatty(_fileno(stdout)) != 0;
}

void UseLineBufferedOutput() {
    // This C runtime buffers a "line-buffered" stream fully; only no buffer keeps lines whole.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
}

}  // namespace veltrin
