#pragma once

#include <cstdint>
#include <string>

namespace veltrin {

struct PortProbe;
struct TSPortFinding;

// Why asking one port for a device found no supported pipette there: the per-port reason
// behind "No device found", so each asked port can be explained in its own words.
enum PortCause : std::int32_t {
    kPortCauseDevice = 0,         // a supported pipette answered
    kPortCauseMissing = 1,        // no such port
    kPortCauseNoPermission = 2,   // this user may not open it
    kPortCauseHeldByProgram = 3,  // another program has it open (Users may say which)
    kPortCauseHeldByRun = 4,      // another update run holds its lock (Holder says which)
    kPortCauseLockRefused = 5,    // its lock cannot be taken (Holder.LockFault says why)
    kPortCauseNoAnswer = 6,       // it opened, but nothing answered the device-id request
    kPortCauseUnsupported = 7,    // a device of a type this program does not update
    kPortCauseCannotOpen = 8,     // it did not open, for a reason the system does not name
    kPortCauseNameTooLong = 9,    // longer than a port name may be
};

// Fills probe.Cause (and probe.Users where another program has the port) from what the probe
// met; asks the system once more only where the probe failed.
void ExplainProbe(const std::string& name, PortProbe& probe);

// What an explained probe of the port met, as the search reports it to its owner.
TSPortFinding PortFindingOf(const std::string& name, const PortProbe& probe);

}  // namespace veltrin
