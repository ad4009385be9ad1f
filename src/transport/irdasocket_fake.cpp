#include "transport/irdasocket_fake.h"

#include <algorithm>
#include <cstring>

namespace veltrin {

int FakeIrdaStack::Startup(std::uint16_t /*requestedVersion*/, IrdaStartupData& data) {
    if (StartupError != 0)
        return StartupError;
    ++Startups;
    data.Version = StartedVersion;
    data.HighVersion = StartedVersion;
    return 0;
}

int FakeIrdaStack::Cleanup() {
    if (StartedNow() <= 0)
        return Error(kNotInitialised);
    ++Cleanups;
    return 0;
}

bool FakeIrdaStack::Refuse(FakeIrdaStep step, IrdaSocketHandle socket) {
    if (StartedNow() <= 0) {
        lastError_ = kNotInitialised;
        return true;
    }
    if (step != FakeIrdaStep::Socket && open_.count(socket) == 0) {
        lastError_ = kNotSocket;
        return true;
    }
    const auto failure = failures_.find(step);
    if (failure != failures_.end()) {
        lastError_ = failure->second;
        return true;
    }
    return false;
}

IrdaSocketHandle FakeIrdaStack::Socket(int family, int type, int /*protocol*/) {
    LastFamily = family;
    LastType = type;
    if (Refuse(FakeIrdaStep::Socket, kInvalidIrdaSocket))
        return kInvalidIrdaSocket;
    ++SocketsCreated;
    const IrdaSocketHandle socket = nextSocket_++;
    open_.insert(socket);
    return socket;
}

int FakeIrdaStack::SetReceiveTimeout(IrdaSocketHandle socket, std::uint32_t milliseconds) {
    if (Refuse(FakeIrdaStep::SetReceiveTimeout, socket))
        return kIrdaSocketError;
    ReceiveTimeout = milliseconds;
    return 0;
}

int FakeIrdaStack::SetSendTimeout(IrdaSocketHandle socket, std::uint32_t milliseconds) {
    if (Refuse(FakeIrdaStep::SetSendTimeout, socket))
        return kIrdaSocketError;
    SendTimeout = milliseconds;
    return 0;
}

int FakeIrdaStack::GetReceiveTimeout(IrdaSocketHandle socket, std::uint32_t& milliseconds) {
    if (Refuse(FakeIrdaStep::SetReceiveTimeout, socket))
        return kIrdaSocketError;
    milliseconds = ReceiveTimeout;
    return 0;
}

int FakeIrdaStack::GetSendTimeout(IrdaSocketHandle socket, std::uint32_t& milliseconds) {
    if (Refuse(FakeIrdaStep::SetSendTimeout, socket))
        return kIrdaSocketError;
    milliseconds = SendTimeout;
    return 0;
}

int FakeIrdaStack::EnumDevices(IrdaSocketHandle socket, IrdaDeviceList& list) {
    ++EnumCalls;
    if (Refuse(FakeIrdaStep::EnumDevices, socket))
        return kIrdaSocketError;
    const std::size_t count = std::min<std::size_t>(Devices.size(), kIrdaMaxDevices);
    for (std::size_t i = 0; i < count; ++i) {
        IrdaDeviceInfo& info = list.Devices[i];
        info = IrdaDeviceInfo{};
        std::memcpy(info.DeviceId, Devices[i].DeviceId.data(), 4);
        std::strncpy(info.DeviceName, Devices[i].Name.c_str(), kIrdaDeviceNameSize - 1);
    }
    list.Count = static_cast<std::uint32_t>(count);
    return 0;
}

FakeIrdaDevice* FakeIrdaStack::DeviceById(const std::uint8_t id[4]) {
    for (FakeIrdaDevice& device : Devices) {
        if (std::memcmp(device.DeviceId.data(), id, 4) == 0)
            return &device;
    }
    return nullptr;
}

int FakeIrdaStack::QueryIas(IrdaSocketHandle socket, IrdaIasQuery& query) {
    LastQuery = query;
    if (Refuse(FakeIrdaStep::QueryIas, socket))
        return kIrdaSocketError;
    const FakeIrdaDevice* device = DeviceById(query.DeviceId);
    if (device == nullptr)
        return Error(kHostUnreachable);
    query.AttributeType = IRDA_IAS_NONE;
    if (std::strcmp(query.ClassName, "IrDA:IrCOMM") != 0 ||
        std::strcmp(query.AttributeName, "Parameters") != 0) {
        return 0;
    }
    query.AttributeType = device->AttributeType;
    query.IntegerValue = device->IntegerValue;
    query.OctetLength =
        static_cast<std::uint32_t>(std::min<std::size_t>(device->Parameters.size(), kIasMaxOctets));
    std::memcpy(query.Octets, device->Parameters.data(), query.OctetLength);
    query.UserStringLength = static_cast<std::uint32_t>(
        std::min<std::size_t>(device->UserString.size(), kIasMaxUserString));
    std::memcpy(query.UserString, device->UserString.data(), query.UserStringLength);
    return 0;
}

int FakeIrdaStack::SetNineWireMode(IrdaSocketHandle socket, bool enabled) {
    if (Refuse(FakeIrdaStep::NineWire, socket))
        return kIrdaSocketError;
    NineWireSet = enabled;
    return 0;
}

int FakeIrdaStack::Connect(IrdaSocketHandle socket, const IrdaPeerAddress& peer) {
    if (Refuse(FakeIrdaStep::Connect, socket))
        return kIrdaSocketError;
    if (DeviceById(peer.DeviceId) == nullptr)
        return Error(kHostUnreachable);
    Connected = true;
    ConnectedPeer = peer;
    std::memcpy(peerId_.data(), peer.DeviceId, 4);
    pending_.clear();
    peerClosed_ = false;
    return 0;
}

int FakeIrdaStack::Send(IrdaSocketHandle socket, const char* data, int length) {
    if (Refuse(FakeIrdaStep::Send, socket))
        return kIrdaSocketError;
    if (!Connected || peerClosed_)
        return Error(kNotConnected);
    Requests.emplace_back(data, static_cast<std::size_t>(length));
    FakeIrdaDevice* device = DeviceById(peerId_.data());
    if (device == nullptr || device->Replies.empty())
        return length;
    const FakeIrdaReply reply = device->Replies.front();
    device->Replies.pop_front();
    if (reply.kind == FakeIrdaReply::Kind::Answer)
        pending_ += reply.text;
    if (reply.kind == FakeIrdaReply::Kind::Hangup)
        peerClosed_ = true;
    return length;
}

int FakeIrdaStack::Recv(IrdaSocketHandle socket, char* data, int length) {
    if (Refuse(FakeIrdaStep::Recv, socket))
        return kIrdaSocketError;
    if (!Connected)
        return Error(kNotConnected);
    if (pending_.empty())
        return peerClosed_ ? 0 : Error(kTimedOut);
    const std::size_t count =
        std::min<std::size_t>(pending_.size(), static_cast<std::size_t>(length));
    std::memcpy(data, pending_.data(), count);
    pending_.erase(0, count);
    return static_cast<int>(count);
}

int FakeIrdaStack::CloseSocket(IrdaSocketHandle socket) {
    if (open_.count(socket) == 0)
        return Error(kNotSocket);
    // Closed even when the call reports a failure, as a real stack frees the handle.
    open_.erase(socket);
    ++SocketsClosed;
    Connected = false;
    const auto failure = failures_.find(FakeIrdaStep::CloseSocket);
    if (failure != failures_.end())
        return Error(failure->second);
    return 0;
}

namespace {

class ForwardingLayer : public IrdaSocketLayer {
public:
    explicit ForwardingLayer(IrdaSocketLayer& target) : target_(target) {}
    int Startup(std::uint16_t version, IrdaStartupData& data) override {
        return target_.Startup(version, data);
    }
    int Cleanup() override { return target_.Cleanup(); }
    IrdaSocketHandle Socket(int family, int type, int protocol) override {
        return target_.Socket(family, type, protocol);
    }
    int SetReceiveTimeout(IrdaSocketHandle s, std::uint32_t ms) override {
        return target_.SetReceiveTimeout(s, ms);
    }
    int SetSendTimeout(IrdaSocketHandle s, std::uint32_t ms) override {
        return target_.SetSendTimeout(s, ms);
    }
    int GetReceiveTimeout(IrdaSocketHandle s, std::uint32_t& ms) override {
        return target_.GetReceiveTimeout(s, ms);
    }
    int GetSendTimeout(IrdaSocketHandle s, std::uint32_t& ms) override {
        return target_.GetSendTimeout(s, ms);
    }
    int EnumDevices(IrdaSocketHandle s, IrdaDeviceList& list) override {
        return target_.EnumDevices(s, list);
    }
    int QueryIas(IrdaSocketHandle s, IrdaIasQuery& query) override {
        return target_.QueryIas(s, query);
    }
    int SetNineWireMode(IrdaSocketHandle s, bool enabled) override {
        return target_.SetNineWireMode(s, enabled);
    }
    int Connect(IrdaSocketHandle s, const IrdaPeerAddress& peer) override {
        return target_.Connect(s, peer);
    }
    int Send(IrdaSocketHandle s, const char* data, int length) override {
        return target_.Send(s, data, length);
    }
    int Recv(IrdaSocketHandle s, char* data, int length) override {
        return target_.Recv(s, data, length);
    }
    int CloseSocket(IrdaSocketHandle s) override { return target_.CloseSocket(s); }
    int LastError() override { return target_.LastError(); }

private:
    IrdaSocketLayer& target_;
};

}  // namespace

std::unique_ptr<IrdaSocketLayer> FakeIrdaStack::Layer() {
    return std::make_unique<ForwardingLayer>(*this);
}

}  // namespace veltrin
