#include "fileurl_test_system.h"

namespace veltrin::test {

std::vector<std::string> NonRegularFileUrls(const TempDirectory& dir) {
    // Windows opens these devices in any folder, whatever the extension.
    const std::string folder = "file:///" + dir.Path().generic_string();
    return {folder + "/NUL", folder + "/con.txt", folder + "/COM1", folder + "/lpt1.hex"};
}

}  // namespace veltrin::test
