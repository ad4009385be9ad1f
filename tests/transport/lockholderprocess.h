#pragma once

#include <string>

namespace veltrin::test {

// The name of the environment variable that makes the test program a lock holder.
inline constexpr char kLockHolderVariable[] = "VELTRIN_TEST_LOCK_HOLDER_PORT";

// This test program started once more as a second process that claims a port's lock and keeps
// it until it is killed (the PortLockHolderChild test, which does nothing unless the variable
// above names the port).
class LockHolderProcess {
public:
    LockHolderProcess() = default;
    ~LockHolderProcess() { Kill(); }
    LockHolderProcess(const LockHolderProcess&) = delete;
    LockHolderProcess& operator=(const LockHolderProcess&) = delete;

    // True once the child has said that it holds the lock.
    bool Start(const std::string& port);
    long ProcessId() const { return processId_; }
    // Kills the child the hard way and waits until it is gone.
    void Kill();

private:
    long processId_ = 0;
    void* process_ = nullptr;  // the system's handle, where it has one
    int output_ = -1;
};

}  // namespace veltrin::test
