#include <io.h>

#include <cstdio>

#include "terminal.h"

namespace veltrin {

bool IsTerminalInput() {
    return _isatty(_fileno(stdin)) != 0;
}

bool IsTerminalOutput() {
    return _isatty(_fileno(stdout)) != 0;
}

}  // namespace veltrin
