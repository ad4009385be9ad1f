// Winsock with address family AF_IRDA.
#include <winsock2.h>
// winsock2.h first: af_irda.h builds on its types.
#include <af_irda.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "transport/irdasocket.h"

namespace veltrin {

namespace {

constexpr std::uint32_t kDeviceListBufferLength = 152;
constexpr std::uint32_t kDeviceInfoLength = sizeof(IRDA_DEVICE_INFO);

static_assert(sizeof(IAS_QUERY) <= kIasQueryBufferLength, "IAS query buffer too small");
static_assert(sizeof(DEVICELIST) <= kDeviceListBufferLength, "device list buffer too small");

// Copies a name that may fill its whole source array without a terminator; the target, zeroed
// by the caller, keeps its last byte 0.
template <std::size_t TargetSize, std::size_t SourceSize>
void CopyName(char (&target)[TargetSize], const char (&source)[SourceSize]) {
    const std::size_t length = std::min(::strnlen(source, SourceSize), TargetSize - 1);
    std::memcpy(target, source, length);
}

SOCKET ToSocket(IrdaSocketHandle socket) {
    return static_cast<SOCKET>(socket);
}

class WinsockIrdaSocketLayer : public IrdaSocketLayer {
public:
    int Startup(std::uint16_t requestedVersion, IrdaStartupData& data) override {
        WSADATA startup{};
        const int error = WSAStartup(requestedVersion, &startup);
        if (error != 0)
            return error;
        data.Version = startup.wVersion;
        data.HighVersion = startup.wHighVersion;
        return 0;
    }
    int Cleanup() override { return WSACleanup(); }

    IrdaSocketHandle Socket(int family, int type, int protocol) override {
        const SOCKET handle = ::socket(family, type, protocol);
        if (handle == INVALID_SOCKET)
            return kInvalidIrdaSocket;
        return static_cast<IrdaSocketHandle>(handle);
    }

    int SetReceiveTimeout(IrdaSocketHandle socket, std::uint32_t milliseconds) override {
        return SetTimeout(socket, SO_RCVTIMEO, milliseconds);
    }
    int SetSendTimeout(IrdaSocketHandle socket, std::uint32_t milliseconds) override {
        return SetTimeout(socket, SO_SNDTIMEO, milliseconds);
    }
    int GetReceiveTimeout(IrdaSocketHandle socket, std::uint32_t& milliseconds) override {
        return GetTimeout(socket, SO_RCVTIMEO, milliseconds);
    }
    int GetSendTimeout(IrdaSocketHandle socket, std::uint32_t& milliseconds) override {
        return GetTimeout(socket, SO_SNDTIMEO, milliseconds);
    }

    int EnumDevices(IrdaSocketHandle socket, IrdaDeviceList& list) override {
        alignas(DEVICELIST) char buffer[kDeviceListBufferLength] = {};
        auto* devices = reinterpret_cast<DEVICELIST*>(buffer);
        devices->numDevice = 0;
        int length = static_cast<int>(sizeof(buffer));
        if (getsockopt(ToSocket(socket), SOL_IRLMP, IRLMP_ENUMDEVICES, buffer, &length) ==
            SOCKET_ERROR) {
            return kIrdaSocketError;
        }
        // Never trust the count beyond what the buffer holds.
        const std::uint32_t room =
            (kDeviceListBufferLength - offsetof(DEVICELIST, Device)) / kDeviceInfoLength;
        const std::uint32_t count = std::min<std::uint32_t>(
            {static_cast<std::uint32_t>(devices->numDevice), room, kIrdaMaxDevices});
        list = IrdaDeviceList{};
        const auto* entries =
            reinterpret_cast<const IRDA_DEVICE_INFO*>(buffer + offsetof(DEVICELIST, Device));
        for (std::uint32_t i = 0; i < count; ++i) {
            std::memcpy(list.Devices[i].DeviceId, entries[i].irdaDeviceID, 4);
            std::memcpy(list.Devices[i].DeviceName, entries[i].irdaDeviceName, kIrdaDeviceNameSize);
            list.Devices[i].Hints1 = entries[i].irdaDeviceHints1;
            list.Devices[i].Hints2 = entries[i].irdaDeviceHints2;
            list.Devices[i].CharSet = entries[i].irdaCharSet;
        }
        list.Count = count;
        return 0;
    }

    int QueryIas(IrdaSocketHandle socket, IrdaIasQuery& query) override {
        union {
            IAS_QUERY fields;
            char raw[kIasQueryBufferLength];
        } buffer;
        std::memset(&buffer, 0, sizeof(buffer));
        std::memcpy(buffer.fields.irdaDeviceID, query.DeviceId, 4);
        CopyName(buffer.fields.irdaClassName, query.ClassName);
        CopyName(buffer.fields.irdaAttribName, query.AttributeName);
        int length = static_cast<int>(kIasQueryBufferLength);
        if (getsockopt(ToSocket(socket), SOL_IRLMP, IRLMP_IAS_QUERY, buffer.raw, &length) ==
            SOCKET_ERROR) {
            return kIrdaSocketError;
        }
        const auto& attribute = buffer.fields.irdaAttribute;
        query.AttributeType = static_cast<std::uint32_t>(buffer.fields.irdaAttribType);
        query.IntegerValue = static_cast<std::int32_t>(attribute.irdaAttribInt);
        if (query.AttributeType == IRDA_IAS_OCTET_SEQUENCE) {
            query.OctetLength = std::min<std::uint32_t>(
                static_cast<std::uint32_t>(attribute.irdaAttribOctetSeq.Len), kIasMaxOctets);
            std::memcpy(query.Octets, attribute.irdaAttribOctetSeq.OctetSeq, query.OctetLength);
        } else if (query.AttributeType == IRDA_IAS_USER_STRING) {
            query.UserStringLength = std::min<std::uint32_t>(
                static_cast<std::uint32_t>(attribute.irdaAttribUsrStr.Len), kIasMaxUserString);
            query.UserStringCharSet =
                static_cast<std::uint32_t>(attribute.irdaAttribUsrStr.CharSet);
            std::memcpy(query.UserString, attribute.irdaAttribUsrStr.UsrStr,
                        query.UserStringLength);
        }
        return 0;
    }

    int SetNineWireMode(IrdaSocketHandle socket, bool enabled) override {
        const int value = enabled ? 1 : 0;
        return setsockopt(ToSocket(socket), SOL_IRLMP, IRLMP_9WIRE_MODE,
                          reinterpret_cast<const char*>(&value), sizeof(value)) == SOCKET_ERROR
                   ? kIrdaSocketError
                   : 0;
    }

    int Connect(IrdaSocketHandle socket, const IrdaPeerAddress& peer) override {
        SOCKADDR_IRDA address{};
        address.irdaAddressFamily = AF_IRDA;
        std::memcpy(address.irdaDeviceID, peer.DeviceId, 4);
        CopyName(address.irdaServiceName, peer.ServiceName);
        return connect(ToSocket(socket), reinterpret_cast<const sockaddr*>(&address),
                       sizeof(address)) == SOCKET_ERROR
                   ? kIrdaSocketError
                   : 0;
    }

    int Send(IrdaSocketHandle socket, const char* data, int length) override {
        const int sent = send(ToSocket(socket), data, length, 0);
        return sent == SOCKET_ERROR ? kIrdaSocketError : sent;
    }
    int Recv(IrdaSocketHandle socket, char* data, int length) override {
        const int received = recv(ToSocket(socket), data, length, 0);
        return received == SOCKET_ERROR ? kIrdaSocketError : received;
    }
    int CloseSocket(IrdaSocketHandle socket) override {
        return closesocket(ToSocket(socket)) == SOCKET_ERROR ? kIrdaSocketError : 0;
    }
    int LastError() override { return WSAGetLastError(); }

private:
    static int SetTimeout(IrdaSocketHandle socket, int option, std::uint32_t milliseconds) {
        const DWORD value = milliseconds;
        return setsockopt(ToSocket(socket), SOL_SOCKET, option,
                          reinterpret_cast<const char*>(&value), sizeof(value)) == SOCKET_ERROR
                   ? kIrdaSocketError
                   : 0;
    }
    static int GetTimeout(IrdaSocketHandle socket, int option, std::uint32_t& milliseconds) {
        DWORD value = 0;
        int length = static_cast<int>(sizeof(value));
        if (getsockopt(ToSocket(socket), SOL_SOCKET, option, reinterpret_cast<char*>(&value),
                       &length) == SOCKET_ERROR) {
            return kIrdaSocketError;
        }
        milliseconds = value;
        return 0;
    }
};

}  // namespace

std::unique_ptr<IrdaSocketLayer> MakeSystemIrdaSocketLayer() {
    return std::make_unique<WinsockIrdaSocketLayer>();
}

}  // namespace veltrin
