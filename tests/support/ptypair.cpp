#include "support/ptypair.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace veltrin::testsupport {

PtyPair::PtyPair() {
    const int fd = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error_ = std::strerror(errno);
        return;
    }
    char name[64] = {};
    if (grantpt(fd) != 0 || unlockpt(fd) != 0 || ptsname_r(fd, name, sizeof name) != 0) {
        error_ = std::strerror(errno);
        ::close(fd);
        return;
    }
    constexpr char kDev[] = "/dev/";
    portName_ = std::strncmp(name, kDev, sizeof kDev - 1) == 0 ? name + sizeof kDev - 1 : name;
    master_ = fd;
}

PtyPair::~PtyPair() {
    CloseMaster();
}

void PtyPair::CloseMaster() {
    const int fd = master_.exchange(-1);
    if (fd >= 0)
        ::close(fd);
}

}  // namespace veltrin::testsupport
