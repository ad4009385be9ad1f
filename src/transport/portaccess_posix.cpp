#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "transport/portaccess.h"

namespace veltrin {

namespace {

std::string GroupName(gid_t gid) {
    std::vector<char> buffer(4096);
    group entry{};
    group* found = nullptr;
    if (getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr) {
        return {};
    }
    return found->gr_name;
}

}  // namespace

std::string PortAccessProblem(const std::string& portName) {
    const std::string path = "/dev/" + portName;
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return {};
    if (access(path.c_str(), R_OK | W_OK) == 0 || errno != EACCES)
        return {};
    // Joining the group helps only where the group may read and write the port; the group of a
    // root-only device is root, which no one should be told to join.
    const bool groupMayOpen =
        info.st_gid != 0 && (info.st_mode & S_IRGRP) != 0 && (info.st_mode & S_IWGRP) != 0;
    const std::string group = groupMayOpen ? GroupName(info.st_gid) : std::string();
    if (!group.empty()) {
        return "permission denied for " + path + ": add your user to the group '" + group +
               "' (sudo usermod -aG " + group + " \"$USER\") and log in again";
    }
    return "permission denied for " + path +
           ": this user has no access to the port; an administrator must grant it (a udev rule, "
           "or a group that may open the port)";
}

}  // namespace veltrin
