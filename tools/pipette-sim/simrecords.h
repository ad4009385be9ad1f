#pragma once

#include <cstdint>
#include <vector>

namespace veltrin {

// How the device dealt with one complete frame.
enum class SimOutcome {
    Answered,      // ACK and an answer (its status may be non-zero)
    BadFrame,      // NAK: length prefix, hex or checksum wrong
    Nak,           // injected NAK
    Garbage,       // injected garbage byte instead of ACK
    BadChecksum,   // answered with an injected wrong checksum
    Status,        // injected non-zero status
    Silence,       // injected silence
    HangUp,        // injected hang-up
    ShortAnswer,   // answered with an injected cut answer
    Unterminated,  // answered without ETX (injected)
};

const char* SimOutcomeName(SimOutcome outcome);

// One entry of the request log.
struct SimRequest {
    std::uint32_t Sequence = 0;  // 1-based count of complete frames
    std::uint16_t Command = 0;   // 0 when the frame could not be decoded
    std::uint32_t Length = 0;    // decoded message length in bytes
    std::uint16_t Status = 0;    // status word answered
    int Mode = 0;                // device mode when the frame arrived
    SimOutcome Outcome = SimOutcome::Answered;
    double TimeMs = 0;  // since the simulator was created
    // The first bytes of the request (header and parameters, at most 20): enough to check what
    // a host left in bytes it does not set.
    std::vector<std::uint8_t> Head;
};

// One WriteMemory block as it arrived.
struct SimWrittenBlock {
    std::uint32_t Address = 0;
    std::uint16_t Count = 0;
    std::uint16_t MemoryType = 0;
    int Mode = 0;
    std::vector<std::uint8_t> Data;
};

}  // namespace veltrin
