#include <sys/stat.h>

#include "fileurl_test_system.h"

namespace veltrin::test {

std::vector<std::string> NonRegularFileUrls(const TempDirectory& dir) {
    // A FIFO nobody writes to: opening it for reading the usual way waits for a writer.
    const std::string fifo = dir.File("files.txt");
    if (mkfifo(fifo.c_str(), 0600) != 0) {
        return {"file://" + fifo + "-could-not-be-made"};
    }
    // /dev/zero would fill the body up to its cap, and a FIFO would hang the reader.
    return {"file://" + fifo, "file:///dev/null", "file:///dev/zero"};
}

}  // namespace veltrin::test
