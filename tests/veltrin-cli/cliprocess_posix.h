#pragma once

// veltrin-cli in a process of its own, its standard output read through a pipe line by line as
// it comes, so a test can act on what the program has printed and send it signals.

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace veltrin::test {

class CliProcess {
public:
    // Starts the program with args; standard input reads /dev/null, standard error goes to
    // errFile. Started() says whether it runs.
    CliProcess(const std::vector<std::string>& args, const std::string& errFile);
    // Kills and reaps a process that is still running.
    ~CliProcess();
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    // The next whole line of standard output; false at its end or when none came within bound.
    bool ReadLine(std::string& line, std::chrono::milliseconds bound);
    // Reads lines until one contains part; false if none did within bound.
    bool ReadUntil(const std::string& part, std::chrono::milliseconds bound);
    // The reader goes away: the program's next write to its standard output fails.
    void CloseOutput();
    void Signal(int signal);
    // Waits for the end, at most for bound; the wait status, or -1 when it did not end.
    int Wait(std::chrono::milliseconds bound);
    // Everything read so far, for failure messages.
    const std::string& Seen() const { return seen_; }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    int pidfd_ = -1;
    bool reaped_ = false;
    std::string buffer_;
    std::string seen_;
};

}  // namespace veltrin::test
