#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "transport/clconnectirda.h"
#include "transport/irdasocket_fake.h"

namespace veltrin::testing {

inline FakeIrdaDevice PipetteInRange(std::uint8_t idByte = 0x11) {
    FakeIrdaDevice device;
    device.DeviceId = {idByte, 0x22, 0x33, 0x44};
    device.Name = "Pipette";
    return device;
}

// A transport over the fake stack, with its pauses recorded instead of slept.
struct IrdaFixture {
    FakeIrdaStack stack;
    std::unique_ptr<ClConnectIrda> irda;
    std::vector<std::uint32_t> sleeps;

    IrdaFixture() : irda(std::make_unique<ClConnectIrda>(stack.Layer())) {
        irda->SetSleeper([this](std::uint32_t ms) { sleeps.push_back(ms); });
    }
    void SetIrdaFields(std::uint32_t send, std::uint32_t receive, std::uint32_t delay) {
        TSConnectParams params;
        irda->GetParams(params);
        params.IrdaSendTimeout = send;
        params.IrdaReceiveTimeout = receive;
        params.IrdaAnswerDelay = delay;
        irda->SetParams(params);
    }
    // Nothing of the stack stays in use: no socket, no start-up, not connected.
    bool Idle() const {
        return stack.OpenSockets() == 0 && stack.StartedNow() == 0 && irda->IsConnected() == 0;
    }
};

}  // namespace veltrin::testing
