#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "support/silentlistener.h"

namespace veltrin::test {

SilentListener::SilentListener(bool accepting) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) {
        return;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof(address);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        (accepting && ::listen(fd, 16) != 0) ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(fd);
        return;
    }
    socket_ = fd;
    port_ = ntohs(address.sin_port);
}

SilentListener::~SilentListener() {
    if (socket_ >= 0) {
        ::close(static_cast<int>(socket_));
    }
}

}  // namespace veltrin::test
