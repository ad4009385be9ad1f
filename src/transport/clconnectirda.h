#pragma once

#include <cstdint>
#include <memory>

#include "protocol/clconnect.h"
#include "transport/irdasocket.h"

namespace veltrin {

// The pipette protocol over an IrCOMM socket connection. No framing of its own: the request
// text goes out unchanged and whatever the first receive returns is the answer. Open finds the
// first device in range, checks that it offers IrCOMM with nine-wire mode and connects to it.
// Results: 0, a connection error code, or the socket layer's error number unchanged.
class ClConnectIrda : public ClConnect {
public:
    // The operating system's IrDA sockets.
    ClConnectIrda();
    // Any socket layer (the tests pass a fake stack).
    explicit ClConnectIrda(std::unique_ptr<IrdaSocketLayer> layer);
    ~ClConnectIrda() override;

    // "00.00.01" by the shared size rule.
    void GetVersion(char* buffer, std::uint32_t size) override;
    // Opening a connected transport closes the old connection first.
    int Open() override;
    int Close() override;
    int Transceive(const char* request, std::uint32_t requestSize, char* answer,
                   std::uint32_t answerSize) override;

private:
    // Steps of Open after the stack has started; on failure the socket is closed again.
    int ConnectFirstDevice();
    int FindPeer(IrdaPeerAddress& peer);
    void CloseSocketQuietly();
    void StopStack();

    std::unique_ptr<IrdaSocketLayer> layer_;
    IrdaStartupData startup_;
    // Whether this transport holds a start-up of the stack that Close must end.
    bool stackStarted_ = false;
    IrdaSocketHandle socket_ = kInvalidIrdaSocket;
};

}  // namespace veltrin
