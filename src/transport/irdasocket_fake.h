#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "transport/irdasocket.h"

namespace veltrin {

// What a fake peer does with one request.
struct FakeIrdaReply {
    enum class Kind { Answer, Silence, Hangup };
    Kind kind = Kind::Silence;
    std::string text;

    static FakeIrdaReply Answer(std::string text) { return {Kind::Answer, std::move(text)}; }
    static FakeIrdaReply Silence() { return {Kind::Silence, {}}; }
    // The peer closes the connection instead of answering.
    static FakeIrdaReply Hangup() { return {Kind::Hangup, {}}; }
};

// A device in range of the fake stack.
struct FakeIrdaDevice {
    // From a named array rather than a braced list: GCC 12 takes the braced list's hidden
    // array in a member initialiser for uninitialised (-Wmaybe-uninitialized) when inlined.
    static constexpr std::uint8_t kDefaultParameters[] = {0x00, 0x01, 0x04};

    std::array<std::uint8_t, 4> DeviceId{};
    std::string Name;
    // Its "Parameters" attribute of class "IrDA:IrCOMM". The default offers the service type
    // with the nine-wire bit.
    std::uint32_t AttributeType = IRDA_IAS_OCTET_SEQUENCE;
    std::int32_t IntegerValue = 0;
    std::vector<std::uint8_t> Parameters{std::begin(kDefaultParameters),
                                         std::end(kDefaultParameters)};
    std::string UserString;
    // One reply per request, in order; when none is left the peer stays silent.
    std::deque<FakeIrdaReply> Replies;
};

// Steps of the socket layer at which a test can make the fake fail.
enum class FakeIrdaStep {
    Socket,
    SetReceiveTimeout,
    SetSendTimeout,
    EnumDevices,
    QueryIas,
    NineWire,
    Connect,
    Send,
    Recv,
    CloseSocket,
};

// An IrDA stack in memory: devices in range with their information base and answers, time-outs
// and peers that hang up, and failure injection for every step. It never blocks: a receive
// without data is the stack's time-out error at once. Error numbers are Winsock's.
class FakeIrdaStack : public IrdaSocketLayer {
public:
    static constexpr int kTimedOut = 10060;         // WSAETIMEDOUT
    static constexpr int kNotSocket = 10038;        // WSAENOTSOCK
    static constexpr int kNotInitialised = 10093;   // WSANOTINITIALISED
    static constexpr int kHostUnreachable = 10065;  // WSAEHOSTUNREACH
    static constexpr int kNotConnected = 10057;     // WSAENOTCONN

    // Scenario.
    std::vector<FakeIrdaDevice> Devices;
    int StartupError = 0;                              // returned by Startup when non-zero
    std::uint16_t StartedVersion = kIrdaStackVersion;  // the version Startup reports
    // Makes the step fail with the error from now on; an error of 0 heals the step.
    void Fail(FakeIrdaStep step, int error) {
        if (error == 0) {
            failures_.erase(step);
        } else {
            failures_[step] = error;
        }
    }

    // Observations.
    int Startups = 0;
    int Cleanups = 0;
    int SocketsCreated = 0;
    int SocketsClosed = 0;
    int EnumCalls = 0;
    int StartedNow() const { return Startups - Cleanups; }
    std::size_t OpenSockets() const { return open_.size(); }
    int LastFamily = 0;
    int LastType = 0;
    std::uint32_t ReceiveTimeout = 0;
    std::uint32_t SendTimeout = 0;
    bool NineWireSet = false;
    IrdaIasQuery LastQuery;
    bool Connected = false;
    IrdaPeerAddress ConnectedPeer;
    std::vector<std::string> Requests;
    std::string PendingAnswer() const { return pending_; }

    int Startup(std::uint16_t requestedVersion, IrdaStartupData& data) override;
    int Cleanup() override;
    IrdaSocketHandle Socket(int family, int type, int protocol) override;
    int SetReceiveTimeout(IrdaSocketHandle socket, std::uint32_t milliseconds) override;
    int SetSendTimeout(IrdaSocketHandle socket, std::uint32_t milliseconds) override;
    int GetReceiveTimeout(IrdaSocketHandle socket, std::uint32_t& milliseconds) override;
    int GetSendTimeout(IrdaSocketHandle socket, std::uint32_t& milliseconds) override;
    int EnumDevices(IrdaSocketHandle socket, IrdaDeviceList& list) override;
    int QueryIas(IrdaSocketHandle socket, IrdaIasQuery& query) override;
    int SetNineWireMode(IrdaSocketHandle socket, bool enabled) override;
    int Connect(IrdaSocketHandle socket, const IrdaPeerAddress& peer) override;
    int Send(IrdaSocketHandle socket, const char* data, int length) override;
    int Recv(IrdaSocketHandle socket, char* data, int length) override;
    int CloseSocket(IrdaSocketHandle socket) override;
    int LastError() override { return lastError_; }

    // A layer that forwards every call to this stack, for a transport to own while the test
    // keeps the stack (and its observations) beyond the transport's life.
    std::unique_ptr<IrdaSocketLayer> Layer();

private:
    // Fails with the error injected for the step, or with the stack's own checks.
    bool Refuse(FakeIrdaStep step, IrdaSocketHandle socket);
    int Error(int error) {
        lastError_ = error;
        return kIrdaSocketError;
    }
    FakeIrdaDevice* DeviceById(const std::uint8_t id[4]);

    std::map<FakeIrdaStep, int> failures_;
    std::set<IrdaSocketHandle> open_;
    IrdaSocketHandle nextSocket_ = 100;
    std::array<std::uint8_t, 4> peerId_{};
    std::string pending_;
    bool peerClosed_ = false;
    int lastError_ = 0;
};

}  // namespace veltrin
