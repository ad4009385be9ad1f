#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace veltrin {

// What a fault does to the exchange it hits.
enum class SimFaultKind {
    Nak,           // refuse the frame with NAK; the command is not run
    Garbage,       // one garbage byte instead of ACK; the command is not run
    BadChecksum,   // run the command, answer with an inverted checksum
    Status,        // answer a header with a non-zero status word; the command is not run
    Silence,       // no ACK, no answer; the command is not run
    HangUp,        // the device drops off the bus before answering (the pty closes)
    ShortAnswer,   // run the command, answer only its first Length bytes
    Unterminated,  // run the command, send the answer without ETX, then Length filler characters
};

const char* SimFaultKindName(SimFaultKind kind);

// One injected fault. A rule counts the frames it matches: with Command < 0 every complete
// frame (so Occurrence is the N-th exchange), otherwise only requests of that command, and for
// WriteMemory with MemoryType >= 0 only blocks into that memory. It hits matching frames
// Occurrence .. Occurrence + Repeat - 1, so a host retry (which is a new frame) is hit again
// while Repeat lasts. Repeat 0 hits every matching frame from Occurrence on.
struct SimFault {
    SimFaultKind Kind = SimFaultKind::Nak;
    int Command = -1;
    int MemoryType = -1;
    std::uint32_t Occurrence = 1;
    std::uint32_t Repeat = 1;
    std::uint16_t Status = 0x0103;  // answered by Kind Status
    std::uint32_t Length = 0;       // for ShortAnswer and Unterminated
};

// How the simulated pipette starts and behaves.
struct SimOptions {
    int DeviceType = 9;  // 9..11 electronic pipette, 6..7 dispensing pipette, 1 short-id device
    int Mode = 1;        // 1 application, 2 bootloader
    std::uint16_t Battery = 3;
    std::string Version0 = "01.00.00";  // installed software, ReadVersionText index 0
    std::string Version1 = "01.00.00";  // bootloader, ReadVersionText index 1 and BootVersion
    std::string InfoText = "Pipette simulator";
    std::uint16_t VariantId = 0x0130;      // first uint16 of the device, config and param records
    std::uint16_t LargestBlock = 4096;     // ReadMemoryInfo; 0 is allowed
    bool NoMemoryInfo = false;             // ReadMemoryInfo answers status 0x0A01
    std::uint32_t RestartSilenceMs = 200;  // silent time after RestartDevice
    std::uint32_t BaudRate = 0;            // line-rate throttle, 8N1; 0 = as fast as the pty
    std::uint32_t FlashWriteMs = 0;        // time a WriteMemory block takes after its ACK
    // After a HangUp fault, plug in again on a new pty after this many ms; negative = stay
    // unplugged until Plug().
    int ReplugAfterMs = -1;
    std::vector<SimFault> Faults;
};

}  // namespace veltrin
