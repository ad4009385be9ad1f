#include "transport/clconnectirda.h"

#include <climits>
#include <cstring>

#include "protocol/connecterrors.h"
#include "transport/ircommparameters.h"

namespace veltrin {

namespace {

constexpr char kIrdaVersion[] = "00.00.01";
constexpr char kIrcommClass[] = "IrDA:IrCOMM";
constexpr char kParametersAttribute[] = "Parameters";
constexpr std::uint32_t kMinimumParameterLength = 3;

}  // namespace

ClConnectIrda::ClConnectIrda() : ClConnectIrda(MakeSystemIrdaSocketLayer()) {}

ClConnectIrda::ClConnectIrda(std::unique_ptr<IrdaSocketLayer> layer) : layer_(std::move(layer)) {
    // The shared fields get the serial transport's defaults; the three IrDA fields are the
    // caller's to set before Open.
    Params.TxChecksum = kChecksumNone;
    Params.RxChecksum = kChecksumNone;
    Params.TxLengthBytes = 0;
    Params.RxLengthBytes = 0;
    Params.Attempts = 1;
    Params.StxCount = 1;
    Params.PrefixDelay = 1;
    Params.RetryDelay = 1;
    Params.AckTimeout = 1000;
    Params.AnswerTimeout = 1000;
    Params.TraceFile = nullptr;
    SetReservedDefaults(Params);
    Connected = 0;
}

ClConnectIrda::~ClConnectIrda() {
    CloseSocketQuietly();
    StopStack();
}

void ClConnectIrda::GetVersion(char* buffer, std::uint32_t size) {
    CopyVersionText(kIrdaVersion, buffer, size);
}

int ClConnectIrda::Open() {
    if (Connected != 0 || socket_ != kInvalidIrdaSocket || stackStarted_) {
        // Never leak a socket or a stack start-up by opening twice.
        Close();
    }
    if (layer_ == nullptr)
        return CONNECT_ERR_NOT_SUPPORTED;
    const int startupError = layer_->Startup(kIrdaStackVersion, startup_);
    if (startupError != 0) {
        startup_ = IrdaStartupData{};
        Connected = 0;
        return startupError;
    }
    stackStarted_ = true;
    int result = CONNECT_ERR_WINSOCK_NOT_FOUND;
    if (startup_.Version == kIrdaStackVersion)
        result = ConnectFirstDevice();
    if (result == CONNECT_OK) {
        Connected = 1;
        return CONNECT_OK;
    }
    StopStack();
    Connected = 0;
    return result;
}

int ClConnectIrda::ConnectFirstDevice() {
    socket_ = layer_->Socket(kAfIrda, kIrdaSocketStream, 0);
    if (socket_ == kInvalidIrdaSocket)
        return layer_->LastError();

    int result = CONNECT_OK;
    if (layer_->SetReceiveTimeout(socket_, Params.IrdaReceiveTimeout) != 0 ||
        layer_->SetSendTimeout(socket_, Params.IrdaSendTimeout) != 0) {
        result = layer_->LastError();
    }
    IrdaPeerAddress peer;
    if (result == CONNECT_OK)
        result = FindPeer(peer);
    if (result == CONNECT_OK &&
        (layer_->SetNineWireMode(socket_, true) != 0 || layer_->Connect(socket_, peer) != 0)) {
        result = layer_->LastError();
    }
    if (result != CONNECT_OK)
        CloseSocketQuietly();
    return result;
}

int ClConnectIrda::FindPeer(IrdaPeerAddress& peer) {
    IrdaDeviceList devices;
    devices.Count = 0;
    if (layer_->EnumDevices(socket_, devices) != 0)
        return layer_->LastError();
    if (devices.Count == 0)
        return CONNECT_ERR_NO_IRDA_DEVICE;

    const IrdaDeviceInfo& device = devices.Devices[0];
    std::memcpy(peer.DeviceId, device.DeviceId, sizeof(peer.DeviceId));
    std::memcpy(peer.ServiceName, kIrcommClass, sizeof(kIrcommClass));

    IrdaIasQuery query;
    std::memcpy(query.DeviceId, device.DeviceId, sizeof(query.DeviceId));
    std::memcpy(query.ClassName, kIrcommClass, sizeof(kIrcommClass));
    std::memcpy(query.AttributeName, kParametersAttribute, sizeof(kParametersAttribute));
    if (layer_->QueryIas(socket_, query) != 0)
        return layer_->LastError();

    const std::uint32_t length =
        query.OctetLength < kIasMaxOctets ? query.OctetLength : kIasMaxOctets;
    if (query.AttributeType != IRDA_IAS_OCTET_SEQUENCE || length < kMinimumParameterLength) {
        return CONNECT_ERR_BAD_IRCOMM;
    }
    if (!SupportsNineWire(query.Octets, length))
        return CONNECT_ERR_NO_9WIRE;
    return CONNECT_OK;
}

int ClConnectIrda::Close() {
    int result = CONNECT_OK;
    if (socket_ != kInvalidIrdaSocket && layer_ != nullptr) {
        if (layer_->CloseSocket(socket_) != 0)
            result = layer_->LastError();
        socket_ = kInvalidIrdaSocket;
    }
    StopStack();
    Connected = 0;
    return result;
}

int ClConnectIrda::Transceive(const char* request, std::uint32_t requestSize, char* answer,
                              std::uint32_t answerSize) {
    if (request == nullptr)
        return CONNECT_ERR_NO_ASCII_TO_SEND;
    const std::size_t length = strnlen(request, requestSize);
    if (length == 0 && requestSize > 0)
        return CONNECT_ERR_NO_ASCII_TO_SEND;
    if (length >= requestSize)
        return CONNECT_ERR_NOT_TERMINATED;
    // A receive needs room for at least one byte and the NUL.
    if (answer == nullptr || answerSize < 2 || length > INT_MAX) {
        return CONNECT_ERR_ASCII_BUFFER_TOO_SMALL;
    }
    if (layer_ == nullptr)
        return CONNECT_ERR_NOT_SUPPORTED;

    // A short send is not detected: IrCOMM delivers the whole request or fails.
    if (layer_->Send(socket_, request, static_cast<int>(length)) == kIrdaSocketError) {
        return layer_->LastError();
    }
    if (Params.IrdaAnswerDelay > 0)
        Sleep(Params.IrdaAnswerDelay);

    std::memset(answer, 0, answerSize);
    const std::uint32_t room = answerSize - 1 < INT_MAX ? answerSize - 1 : INT_MAX;
    const int received = layer_->Recv(socket_, answer, static_cast<int>(room));
    if (received == kIrdaSocketError || received < 0)
        return layer_->LastError();
    if (received == 0)
        return CONNECT_ERR_NO_DATA_RECEIVED;
    // Whatever came is the answer, untrimmed; a longer answer leaves its rest in the socket.
    answer[received] = '\0';
    return CONNECT_OK;
}

void ClConnectIrda::CloseSocketQuietly() {
    if (socket_ != kInvalidIrdaSocket && layer_ != nullptr)
        layer_->CloseSocket(socket_);
    socket_ = kInvalidIrdaSocket;
}

void ClConnectIrda::StopStack() {
    if (stackStarted_ && layer_ != nullptr)
        layer_->Cleanup();
    stackStarted_ = false;
    startup_ = IrdaStartupData{};
}

}  // namespace veltrin
