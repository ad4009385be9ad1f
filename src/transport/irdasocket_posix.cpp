// The Linux kernel no longer has IrDA (removed in 4.17), so creating the socket fails there with
// the system's "address family not supported" error, which Open passes on. A kernel that still
// creates the socket gets the same error from us: its IrDA option interface is not spoken here.
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "transport/irdasocket.h"

namespace veltrin {

namespace {

class PosixIrdaSocketLayer : public IrdaSocketLayer {
public:
    int Startup(std::uint16_t requestedVersion, IrdaStartupData& data) override {
        // There is no stack to start; report the requested version so that Open goes on to the
        // socket, which is where the system says what it supports.
        data.Version = requestedVersion;
        data.HighVersion = requestedVersion;
        return 0;
    }
    int Cleanup() override { return 0; }

    IrdaSocketHandle Socket(int family, int type, int protocol) override {
        const int systemFamily = family == kAfIrda ? AF_IRDA : family;
        const int systemType = type == kIrdaSocketStream ? SOCK_STREAM : type;
        const int handle = ::socket(systemFamily, systemType, protocol);
        if (handle < 0) {
            lastError_ = errno;
            return kInvalidIrdaSocket;
        }
        ::close(handle);
        lastError_ = EAFNOSUPPORT;
        return kInvalidIrdaSocket;
    }

    int SetReceiveTimeout(IrdaSocketHandle, std::uint32_t) override { return Fail(); }
    int SetSendTimeout(IrdaSocketHandle, std::uint32_t) override { return Fail(); }
    int GetReceiveTimeout(IrdaSocketHandle, std::uint32_t&) override { return Fail(); }
    int GetSendTimeout(IrdaSocketHandle, std::uint32_t&) override { return Fail(); }
    int EnumDevices(IrdaSocketHandle, IrdaDeviceList&) override { return Fail(); }
    int QueryIas(IrdaSocketHandle, IrdaIasQuery&) override { return Fail(); }
    int SetNineWireMode(IrdaSocketHandle, bool) override { return Fail(); }
    int Connect(IrdaSocketHandle, const IrdaPeerAddress&) override { return Fail(); }
    int Send(IrdaSocketHandle, const char*, int) override { return Fail(); }
    int Recv(IrdaSocketHandle, char*, int) override { return Fail(); }
    int CloseSocket(IrdaSocketHandle) override { return Fail(); }
    int LastError() override { return lastError_; }

private:
    // No socket is ever handed out, so every socket operation names a bad descriptor.
    int Fail() {
        lastError_ = EBADF;
        return kIrdaSocketError;
    }

    int lastError_ = 0;
};

}  // namespace

std::unique_ptr<IrdaSocketLayer> MakeSystemIrdaSocketLayer() {
    return std::make_unique<PosixIrdaSocketLayer>();
}

}  // namespace veltrin
