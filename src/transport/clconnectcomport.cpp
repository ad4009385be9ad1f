#include "transport/clconnectcomport.h"

#include <cstring>
#include <new>

namespace veltrin {

namespace {
constexpr char kComportVersion[] = "00.00.03";
}  // namespace

ClConnectComport::ClConnectComport() : ClConnectComport(CreateSerialPort()) {}

ClConnectComport::ClConnectComport(std::unique_ptr<SerialPort> port) : ComPort(std::move(port)) {
    TSConnectParams defaults;
    defaults.TxChecksum = kChecksumNone;
    defaults.RxChecksum = kChecksumNone;
    defaults.TxLengthBytes = 0;
    defaults.RxLengthBytes = 0;
    defaults.Attempts = 1;
    defaults.StxCount = 1;
    defaults.PrefixDelay = 1;
    defaults.RetryDelay = 1;
    defaults.AckTimeout = 1000;
    defaults.AnswerTimeout = 1000;
    defaults.TraceFile = nullptr;
    defaults.BaudRate = 230400;
    defaults.DataBits = 8;
    defaults.StopBits = 0;
    defaults.Parity = 0;
    SetReservedDefaults(defaults);
    SetParams(defaults);
}

// The port object closes an open port when it is destroyed.
ClConnectComport::~ClConnectComport() = default;

void ClConnectComport::GetVersion(char* buffer, std::uint32_t size) {
    CopyVersionText(kComportVersion, buffer, size);
}

void ClConnectComport::GetPortList(std::vector<std::string>& list) {
    list.clear();
    try {
        for (std::string& name : ListSerialPorts()) {
            // A name that does not fit would be cut short in PortName and open some other
            // port; no name the system gives is that long.
            if (name.size() < sizeof(Params.PortName))
                list.push_back(std::move(name));
        }
    } catch (const std::bad_alloc&) {
        list.clear();
    }
}

int ClConnectComport::Open() {
    if (!ComPort)
        return CONNECT_ERR_NO_PORT_OBJECT;
    try {
        ComPort->SetName(
            std::string_view(Params.PortName, strnlen(Params.PortName, sizeof(Params.PortName))));
        ComPort->SetBaudRate(Params.BaudRate);
        ComPort->SetByteSize(Params.DataBits);
        ComPort->SetStopBits(Params.StopBits);
        ComPort->SetParity(Params.Parity);
        return ComPort->Open() == 0 ? CONNECT_OK : CONNECT_ERR_OPEN_PORT;
    } catch (const std::bad_alloc&) {
        return CONNECT_ERR_OPEN_PORT;
    }
}

int ClConnectComport::Close() {
    if (!ComPort)
        return CONNECT_ERR_NO_PORT_OBJECT;
    return ComPort->Close() == 0 ? CONNECT_OK : CONNECT_ERR_CLOSE_PORT;
}

}  // namespace veltrin
