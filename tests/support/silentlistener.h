#pragma once

#include <string>

namespace veltrin::test {

// A TCP socket on 127.0.0.1 that takes connections (the system completes them from its
// backlog) and never sends a byte: the peer of a client that must give up by its time-out.
//
// With accepting false the port is only bound: every connection is refused, and unlike a port
// that was closed again no other program can start listening on it while the test runs.
class SilentListener {
public:
    explicit SilentListener(bool accepting = true);
    ~SilentListener();
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;

    bool IsListening() const { return port_ > 0; }
    int Port() const { return port_; }
    // "https://127.0.0.1:<port>"
    std::string Origin() const { return "https://127.0.0.1:" + std::to_string(port_); }

private:
    long long socket_ = -1;
    int port_ = -1;
};

}  // namespace veltrin::test
