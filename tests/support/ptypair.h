#pragma once

#include <atomic>
#include <string>

namespace veltrin::testsupport {

// A pseudo-terminal: the test plays the device on the master side, the code under test opens
// the slave by its port name ("pts/7", the path below /dev) like any serial port.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool Ok() const { return master_ >= 0; }
    // Why the pair could not be created (an errno text), empty when Ok().
    const std::string& Error() const { return error_; }
    // Non-blocking master descriptor; -1 once closed.
    int Master() const { return master_; }
    const std::string& PortName() const { return portName_; }
    // Hangs the line up: the slave side sees end of file and I/O errors from now on.
    void CloseMaster();

private:
    // The device side may hang up from its own thread.
    std::atomic<int> master_{-1};
    std::string portName_;
    std::string error_;
};

}  // namespace veltrin::testsupport
