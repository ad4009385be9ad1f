#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "protocol/clconnectpipetten.h"

namespace veltrin {

// The two device records as an owner hands them to the worker, whole as the device keeps them.
constexpr std::size_t kConfigImageSize = kConfigRecordSize;
constexpr std::size_t kParamImageSize = kParamRecordSize;

// The records of a variant that is not known: both all zero, so a device is never sent what an
// earlier lookup left behind.
inline void ClearDeviceRecordImages(std::uint8_t config[kConfigImageSize],
                                    std::uint8_t param[kParamImageSize]) {
    std::memset(config, 0, kConfigImageSize);
    std::memset(param, 0, kParamImageSize);
}

// What the worker learnt of the device it updates, for the owner's update history. Filled step
// by step; each ThreadReportDevice hands over everything known so far.
struct TSDeviceReport {
    std::string Port;
    std::int32_t DeviceType = 0;
    std::string InfoText;      // the device's own texts, read before anything is changed
    std::string VersionText0;  // installed software
    std::string VersionText1;  // bootloader
    bool HasVariantId = false;
    std::int32_t VariantId = 0;
};

// A port the device search left alone because another update run holds it.
struct TSBusyPort {
    std::string Port;
    long HolderProcessId = 0;   // 0: not known
    std::string HolderProgram;  // may be empty
    // Set where no run holds it but its lock cannot be taken: the lock and what is wrong.
    std::string LockFault;
};

// What the device search met on one port it asked: the reason (PortCause, portcause.h) why no
// supported pipette was found there, or kPortCauseDevice where one was.
struct TSPortFinding {
    std::string Port;
    std::int32_t Cause = 0;
    std::int32_t DeviceType = 0;    // of the device that answered, where one did
    std::string ResultText;         // the failed step's result in words, where one failed
    std::vector<TSBusyPort> Users;  // other programs that have the port open, where known
};

// The record through which the worker and its owner exchange data. The owner reads and writes
// it only inside a handler, while the worker waits.
struct TSThreadParams {
    std::string HexQuorvanOtg;        // Intel HEX text of the electronic-pipette firmware
    std::string VersionQuorvanOtg;    // "Version dd.dd.dd", or empty when unusable
    std::string HexTarnovelleK7;      // Intel HEX text of the dispensing-pipette firmware
    std::string VersionTarnovelleK7;  // "Version dd.dd.dd", or empty when unusable
    std::int32_t ResultCode = 0;
    std::string EventText;
    std::int32_t EventValue = 0;
    std::uint8_t EventAnswer = 0;  // Yes to a question; found for a variant lookup
    std::uint8_t DeviceParamsA[kConfigImageSize] = {};  // configuration record image
    std::uint8_t DeviceParamsB[kParamImageSize] = {};   // parameter record image
    std::int32_t VariantId = 0;
    TSDeviceReport Device;  // read by ThreadReportDevice
    // Set by the device search, read with the end event: the ports it found in use.
    std::vector<TSBusyPort> BusyPorts;
    // Set by the device search: every port it asked, in order, with what it found there.
    std::vector<TSPortFinding> SearchedPorts;
    // Set once the device's port is claimed, read with ThreadReportDevice: whether the system
    // promised not to shut down or sleep during the run, and why not when it did not.
    bool InhibitorHeld = false;
    std::string InhibitorProblem;
    // Set by a run that stopped inside the write after the bootloader took over (a failed
    // write, a lost connection, a cancel): the pipette waits there for the next attempt.
    bool LeftInBootloader = false;
};

}  // namespace veltrin
