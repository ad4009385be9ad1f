#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "transport/portopenfault.h"

namespace veltrin {

int DiagnosePortOpen(const std::string& portName, int& systemError) {
    systemError = 0;
    if (portName.empty())
        return kPortOpenFaultMissing;
    const std::string path = "/dev/" + portName;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        systemError = errno;
        switch (systemError) {
            case ENOENT:
            case ENOTDIR:
            case ENXIO:
            case ENODEV:
                return kPortOpenFaultMissing;
            case EACCES:
            case EPERM:
                return kPortOpenFaultNoPermission;
            case EBUSY:  // another program made it exclusive (TIOCEXCL)
                return kPortOpenFaultHeld;
            default:
                return kPortOpenFaultUnknown;
        }
    }
    int fault = kPortOpenFaultUnknown;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && !S_ISCHR(info.st_mode)) {
        fault = kPortOpenFaultNotSerial;
    } else if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        systemError = errno;
        if (systemError == EWOULDBLOCK)
            fault = kPortOpenFaultHeld;
    }
    ::close(fd);
    return fault;
}

}  // namespace veltrin
