#include "common/programarguments.h"

namespace veltrin {

// POSIX hands the bytes over unchanged; on Linux desktops they are UTF-8.
std::vector<std::string> ProgramArguments(int argc, char** argv) {
    if (argc <= 1 || argv == nullptr)
        return {};
    return std::vector<std::string>(argv + 1, argv + argc);
}

}  // namespace veltrin
