#pragma once

#include <memory>
#include <string>

namespace veltrin {

// Who holds a port's lock, as far as the holder could leave word.
struct PortLockHolder {
    long ProcessId = 0;   // 0: not known (another user's, or an older holder's)
    std::string Program;  // the holder's program name; may be empty
    // Set where no run holds the lock but it cannot be taken all the same (an object planted
    // under its name): the lock and what is wrong with it, "/run/lock/… is not a regular file:
    // remove it". The port counts as in use then: it is never used without its lock.
    std::string LockFault;
};

// One update run's claim on a serial port, shared by every program of ours on this computer
// (the window and the command line, any user), for as long as the object lives. It outlives the
// port being closed and opened again, which the run does around each restart of the device, so
// no other run can take the device in between. The system releases it by itself when the
// holding process ends in any way, so a crashed or killed run never leaves its port locked.
// One backend per system: a lock file per port (Linux), a named kernel object per port (Windows).
class PortLock {
public:
    virtual ~PortLock() = default;
};

// Claims the port under its identity (PortIdentity), so every spelling of it meets one lock.
// 0: claimed, lock set. PortInUseError(): another run holds it (also one in this process), and
// holder says who when it could be found out; or the lock cannot be taken for any other reason,
// and holder.LockFault says why. Any other value is the system's error number when no lock can
// be made at all (no shared lock folder): the only case in which a run may go on without one.
int AcquirePortLock(const std::string& portName, std::unique_ptr<PortLock>& lock,
                    PortLockHolder& holder);

// This system's error number for a port that is busy: EBUSY / ERROR_BUSY.
int PortInUseError();

// "veltrin-cli, process 1234", "process 1234" or "another program", for messages.
std::string PortLockHolderText(const PortLockHolder& holder);

}  // namespace veltrin
