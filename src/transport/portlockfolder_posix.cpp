#include "transport/portlockfolder_posix.h"

#include <sys/stat.h>

namespace veltrin {

std::string SharedLockFolder(const std::vector<std::string>& candidates) {
    for (const std::string& folder : candidates) {
        struct stat info {};
        if (!folder.empty() && folder.front() == '/' && stat(folder.c_str(), &info) == 0 &&
            S_ISDIR(info.st_mode) && (info.st_mode & S_IWOTH) != 0 &&
            (info.st_mode & S_IXOTH) != 0 && (info.st_mode & S_ISVTX) != 0) {
            return folder;
        }
    }
    return {};
}

}  // namespace veltrin
