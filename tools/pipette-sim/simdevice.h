#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "simdevicestate.h"
#include "simmemory.h"
#include "simrecords.h"

namespace veltrin {

// Everything the simulated pipette holds: its state, its four memories and the blocks written.
struct SimDevice {
    SimDeviceState State;
    std::array<SimMemory, kSimMemoryTypeCount> Memories;
    std::vector<SimWrittenBlock> Blocks;
};

// The answer to one request: the message to send and whether the device restarts after it.
struct SimAnswer {
    std::vector<std::uint8_t> Message;
    std::uint16_t Status = 0;
    bool Restart = false;
};

// Runs one decoded request message on the device and builds the answer message: the request's
// layout with the status word at 8-9 and the results at the command's offsets. Every command
// works in both modes; a malformed request is answered with a status, never with a crash.
SimAnswer ExecuteRequest(const std::vector<std::uint8_t>& request, SimDevice& device);

// A bare answer header carrying a status word.
SimAnswer StatusAnswer(std::uint16_t command, std::uint16_t status);

// Restart or power-up: the bootloader picks the mode from the boot record, and the application
// reports the version block it carries in the internal flash, when one was written.
void BootDevice(SimDevice& device);

}  // namespace veltrin
