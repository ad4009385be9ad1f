#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace veltrin {

// The device end of a pseudo-terminal, plus a wake-up channel so that a thread blocked in one of
// the waits below can be released from another thread. The master is held non-blocking; the
// slave is opened once, made raw and kept open (never read) so that the line is raw before a
// host opens it and the master does not see a hang-up while no host has the port open.
class SimPseudoTerminal {
public:
    enum class WaitResult { Readable, Woken, TimedOut, Failed };

    SimPseudoTerminal();
    ~SimPseudoTerminal();
    SimPseudoTerminal(const SimPseudoTerminal&) = delete;
    SimPseudoTerminal& operator=(const SimPseudoTerminal&) = delete;

    // Opens a new pty. Its name differs from every name this object gave up through Close (a
    // re-plugged device shows up under a new name). 0 or the system's error number.
    int Open();
    // Unplugs: closes the master, so a host that has the slave open sees a hang-up and the
    // device path disappears. The name stays reserved (see reserved_) until this object dies.
    void Close();
    bool IsOpen() const { return master_ >= 0; }
    // "pts/7": the part of the slave's path after "/dev/".
    const std::string& PortName() const { return portName_; }

    // Waits until the master has input, Wake() was called, or the time-out passed (negative =
    // no time-out). Without an open pty only the wake-up and the time-out end the wait.
    WaitResult WaitReadable(std::chrono::milliseconds timeout);
    // Sleeps for the given time; false when woken early.
    bool Pause(std::chrono::microseconds duration);
    // Bytes read, 0 when nothing is waiting, or minus the system's error number.
    long Read(std::uint8_t* buffer, std::size_t size);
    // Writes everything; 0, or the system's error number (ETIMEDOUT when the host does not take
    // the bytes in time, ECANCELED when woken).
    int Write(const std::uint8_t* data, std::size_t size, std::chrono::milliseconds timeout);

    // Callable from any thread (and from a signal handler); stays signalled until ClearWake.
    void Wake();
    void ClearWake();

private:
    int OpenOne(int& master, int& slave, std::string& name);

    int master_ = -1;
    int slave_ = -1;
    // Slave descriptors of closed ptys. The kernel reuses a pty's number only once every slave
    // descriptor is closed; were they released at once, another program's new pty (a second
    // simulator, another test running beside this one) could take the vanished name, and a host
    // that opens the old name would talk to the wrong device instead of failing to open it.
    std::vector<int> reserved_;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::string portName_;
};

}  // namespace veltrin
