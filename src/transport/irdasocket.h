#pragma once

#include <cstdint>
#include <memory>

namespace veltrin {

// A small IrDA socket layer shaped like the Winsock calls the IrDA transport needs. One backend
// per operating system (irdasocket_win32.cpp, irdasocket_posix.cpp) and a fake stack for tests.
// Results follow the socket conventions: calls return kIrdaSocketError (or kInvalidIrdaSocket)
// on failure and LastError() gives the system's error number; Startup returns its error number.

using IrdaSocketHandle = std::uintptr_t;
constexpr IrdaSocketHandle kInvalidIrdaSocket = ~static_cast<IrdaSocketHandle>(0);
constexpr int kIrdaSocketError = -1;

constexpr int kAfIrda = 26;                          // address family of IrDA sockets
constexpr int kIrdaSocketStream = 1;                 // connection-oriented socket type
constexpr std::uint16_t kIrdaStackVersion = 0x0202;  // 2.2: low byte major, high byte minor

// What start-up reports. All zero means "not started".
struct IrdaStartupData {
    std::uint16_t Version = 0;      // version the caller will use
    std::uint16_t HighVersion = 0;  // highest version the stack supports
    bool IsClear() const { return Version == 0 && HighVersion == 0; }
};

constexpr std::uint32_t kIrdaMaxDevices = 5;  // a 152-byte list: the count and five entries
constexpr std::uint32_t kIrdaDeviceNameSize = 22;

struct IrdaDeviceInfo {
    std::uint8_t DeviceId[4] = {};
    char DeviceName[kIrdaDeviceNameSize] = {};
    std::uint8_t Hints1 = 0;
    std::uint8_t Hints2 = 0;
    std::uint8_t CharSet = 0;
};

struct IrdaDeviceList {
    std::uint32_t Count = 0;  // entries filled, at most kIrdaMaxDevices
    IrdaDeviceInfo Devices[kIrdaMaxDevices];
};

// Kinds of an information-base attribute.
enum IrdaIasAttributeType : std::uint32_t {
    IRDA_IAS_NONE = 0,
    IRDA_IAS_INTEGER = 1,
    IRDA_IAS_OCTET_SEQUENCE = 2,
    IRDA_IAS_USER_STRING = 3,
};

constexpr std::uint32_t kIasClassNameSize = 64;
constexpr std::uint32_t kIasAttributeNameSize = 256;
constexpr std::uint32_t kIasMaxOctets = 1024;
constexpr std::uint32_t kIasMaxUserString = 256;
constexpr std::uint32_t kIasQueryBufferLength = 1385;

// One query of a peer's information base: the caller fills device, class and attribute names;
// the stack fills the attribute. OctetLength/UserStringLength never exceed their arrays.
struct IrdaIasQuery {
    std::uint8_t DeviceId[4] = {};
    char ClassName[kIasClassNameSize] = {};
    char AttributeName[kIasAttributeNameSize] = {};
    std::uint32_t AttributeType = IRDA_IAS_NONE;
    std::int32_t IntegerValue = 0;
    std::uint32_t OctetLength = 0;
    std::uint8_t Octets[kIasMaxOctets] = {};
    std::uint32_t UserStringLength = 0;
    std::uint32_t UserStringCharSet = 0;
    std::uint8_t UserString[kIasMaxUserString] = {};
};

constexpr std::uint32_t kIrdaServiceNameSize = 25;

// The peer address of connect: the device id and the service to reach on it.
struct IrdaPeerAddress {
    std::uint8_t DeviceId[4] = {};
    char ServiceName[kIrdaServiceNameSize] = {};
};

class IrdaSocketLayer {
public:
    virtual ~IrdaSocketLayer() = default;

    // Starts the stack; 0 or the error number (LastError is not used for start-up).
    virtual int Startup(std::uint16_t requestedVersion, IrdaStartupData& data) = 0;
    virtual int Cleanup() = 0;

    virtual IrdaSocketHandle Socket(int family, int type, int protocol) = 0;
    virtual int SetReceiveTimeout(IrdaSocketHandle socket, std::uint32_t milliseconds) = 0;
    virtual int SetSendTimeout(IrdaSocketHandle socket, std::uint32_t milliseconds) = 0;
    virtual int GetReceiveTimeout(IrdaSocketHandle socket, std::uint32_t& milliseconds) = 0;
    virtual int GetSendTimeout(IrdaSocketHandle socket, std::uint32_t& milliseconds) = 0;
    // One enumeration of the devices in range, no retry and no wait.
    virtual int EnumDevices(IrdaSocketHandle socket, IrdaDeviceList& list) = 0;
    virtual int QueryIas(IrdaSocketHandle socket, IrdaIasQuery& query) = 0;
    virtual int SetNineWireMode(IrdaSocketHandle socket, bool enabled) = 0;
    virtual int Connect(IrdaSocketHandle socket, const IrdaPeerAddress& peer) = 0;
    // Bytes sent, or kIrdaSocketError.
    virtual int Send(IrdaSocketHandle socket, const char* data, int length) = 0;
    // Bytes received, 0 when the peer has closed the connection, or kIrdaSocketError.
    virtual int Recv(IrdaSocketHandle socket, char* data, int length) = 0;
    virtual int CloseSocket(IrdaSocketHandle socket) = 0;
    virtual int LastError() = 0;
};

// The backend of the operating system this program is built for.
std::unique_ptr<IrdaSocketLayer> MakeSystemIrdaSocketLayer();

}  // namespace veltrin
