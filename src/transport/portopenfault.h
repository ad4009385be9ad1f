#pragma once

#include <string>

namespace veltrin {

// Why a serial port did not open, as far as the system says when asked again.
enum PortOpenFault : int {
    kPortOpenFaultUnknown = 0,       // it opens now, or the system names no reason we know
    kPortOpenFaultMissing = 1,       // no such port
    kPortOpenFaultNoPermission = 2,  // this user may not open it
    kPortOpenFaultHeld = 3,          // another program has it open for itself
    kPortOpenFaultNotSerial = 4,     // it is there, but no serial port
};

// Called after an open of the port failed: opens it once more without changing its line, and
// says why that fails. systemError is the system's error number of that attempt (0 if none).
int DiagnosePortOpen(const std::string& portName, int& systemError);

}  // namespace veltrin
