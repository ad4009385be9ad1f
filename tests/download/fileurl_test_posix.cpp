#include <sys/stat.h>

#include "fileurl_test_system.h"

namespace veltrin::test {

std::vector<std::string> NonRegularFileUrls(const TempDirectory& dir) {
    const std::string fifo = dir.File("files.txt");
    if (mkfifo(fifo.c_str(), 0600) != 0) {
        return {"file://" + fifo + "-could-not-be-made"};
    }
    return {"file://" + fifo, "file:///dev/null", "file:///dev/zero"};
}

}  // namespace veltrin::test
