#include <winsock2.h>
#include <ws2tcpip.h>

#include "support/silentlistener.h"

namespace veltrin::test {

SilentListener::SilentListener(bool accepting) {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        return;
    }
    const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) {
        WSACleanup();
        return;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    int length = sizeof(address);
    if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        (accepting && ::listen(s, 16) != 0) ||
        ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::closesocket(s);
        WSACleanup();
        return;
    }
    socket_ = static_cast<long long>(s);
    port_ = ntohs(address.sin_port);
}

SilentListener::~SilentListener() {
    if (socket_ >= 0) {
        ::closesocket(static_cast<SOCKET>(socket_));
        WSACleanup();
    }
}

}  // namespace veltrin::test
