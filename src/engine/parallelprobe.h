#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/sleeper.h"
#include "engine/commandsetfactory.h"
#include "protocol/clconnectpipetten.h"
#include "protocol/connectparams.h"
#include "transport/portlock.h"

namespace veltrin {

// What asking one port for its device id found.
struct PortProbe {
    int Type = 0;  // the device's type; DEVICE_UNKNOWN (0) where nothing answered
    bool Opened = false;
    // 0, or the connection's code of the open or of ReadDeviceId, and that code in words.
    int ResultCode = 0;
    std::string ResultText;
    // Another update run holds the port: it was left alone, never opened.
    bool InUse = false;
    PortLockHolder Holder;
    // Why no supported pipette was found here (PortCause), and the other programs that have
    // the port open where that is the reason and the system names them.
    int Cause = 0;
    std::vector<PortLockHolder> Users;
    // With ProbeReads::DeviceTexts, what an answering device says of itself, as the update reads
    // it before its questions: version texts 0 (application) and 1 (bootloader) and the info
    // text, as the device sent them (DeviceFieldText makes them readable). TextsRead is false
    // where one of them could not be read; those read before stay, the others are zeros.
    bool TextsRead = false;
    std::array<std::uint8_t, kVersionTextSize> VersionText0{};
    std::array<std::uint8_t, kVersionTextSize> VersionText1{};
    std::array<std::uint8_t, kVersionTextSize> InfoText{};
    // The port's lock, kept where a supported pipette answered so that no other run can take
    // it between the search and the update; null elsewhere.
    std::unique_ptr<PortLock> Lock;
};

// How much a probe asks a device that answers: its id alone (the update's search), or also the
// texts the update reads next (a survey of what each port's update would do).
enum class ProbeReads { DeviceId, DeviceTexts };

// Asks every port for its device id at the same time, each on its own connection and thread,
// so a search costs the slowest port instead of the sum of all ports: a silent port costs the
// full acknowledge time-outs times the attempts.
//
// makeCommandSet: makes each probe's own command set.
// connection: the settings every probe uses (its PortName is replaced by each port's name).
// onFinished: runs on the calling thread each time a probe has ended, with the number ended so
// far (1 … names.size()), so progress can advance as probes finish, in whatever order.
// Returns one probe per name, in the order of names. Names are probed as given (callers trim
// them). All probe threads have ended when it returns, also when onFinished throws.
std::vector<PortProbe> ProbePortsAtOnce(const CommandSetFactory& makeCommandSet,
                                        const std::vector<std::string>& names,
                                        const TSConnectParams& connection,
                                        const SleepFunction& sleeper,
                                        const std::function<void(std::size_t finished)>& onFinished,
                                        ProbeReads reads = ProbeReads::DeviceId);

// One probe on a connection of its own (from makeCommandSet) under the port's lock: claim the
// port, open, read the device id, close. A port another run holds is not opened.
PortProbe ProbePortOnOwnConnection(const CommandSetFactory& makeCommandSet, const std::string& name,
                                   const TSConnectParams& connection, const SleepFunction& sleeper,
                                   ProbeReads reads = ProbeReads::DeviceId);

// The one probe every search uses, on a connection whose transport is chosen: claim the port,
// selectPort (puts the name into the connection's settings, returns the settings' result), open,
// ReadDeviceId (and the texts when asked), close, and explain the outcome. A port another run
// holds is never opened. The lock stays in the probe only where a supported pipette answered.
PortProbe ProbeClaimedPort(ClConnectPipetten& device, const std::string& name,
                           const std::function<int()>& selectPort, ProbeReads reads);

}  // namespace veltrin
