#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <fstream>
#include <memory>

#include "transport/portusers.h"

namespace veltrin {

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};
using Dir = std::unique_ptr<DIR, DirCloser>;

bool IsNumber(const char* text) {
    if (*text == '\0')
        return false;
    for (; *text != '\0'; ++text) {
        if (!std::isdigit(static_cast<unsigned char>(*text)))
            return false;
    }
    return true;
}

// Whether one of the process's descriptors is the device (same device number).
bool HasOpen(const std::string& process, dev_t device) {
    const std::string fds = "/proc/" + process + "/fd";
    const Dir dir(opendir(fds.c_str()));
    if (!dir)
        return false;  // another user's process, or gone
    while (const dirent* entry = readdir(dir.get())) {
        struct stat info {};
        if (IsNumber(entry->d_name) && stat((fds + "/" + entry->d_name).c_str(), &info) == 0 &&
            S_ISCHR(info.st_mode) && info.st_rdev == device) {
            return true;
        }
    }
    return false;
}

std::string CommandName(const std::string& process) {
    std::ifstream in("/proc/" + process + "/comm");
    std::string name;
    std::getline(in, name);
    return name;
}

}  // namespace

std::vector<PortLockHolder> ProgramsUsingPort(const std::string& portName) {
    std::vector<PortLockHolder> users;
    struct stat port {};
    if (portName.empty() || stat(("/dev/" + portName).c_str(), &port) != 0 ||
        !S_ISCHR(port.st_mode)) {
        return users;
    }
    const Dir proc(opendir("/proc"));
    if (!proc)
        return users;
    const std::string self = std::to_string(getpid());
    try {
        while (const dirent* entry = readdir(proc.get())) {
            if (!IsNumber(entry->d_name) || self == entry->d_name ||
                !HasOpen(entry->d_name, port.st_rdev)) {
                continue;
            }
            PortLockHolder user;
            user.ProcessId = std::stol(entry->d_name);
            user.Program = CommandName(entry->d_name);
            users.push_back(user);
        }
    } catch (...) {
        // Out of memory or an odd number: what was found so far is all the message gets.
    }
    return users;
}

}  // namespace veltrin
