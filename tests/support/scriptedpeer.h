#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support/ptypair.h"

namespace veltrin::testsupport {

// Plays the device side of a serial line on a pseudo-terminal's master, from its own thread,
// following a script built before Start(): expect bytes, reply bytes, pause, stream, hang up.
// A step that cannot complete within the step time-out ends the script with a failure, so a
// broken transport makes a test fail instead of hang.
class ScriptedPeer {
public:
    using Handler = std::function<std::string(const std::string& frame)>;

    explicit ScriptedPeer(PtyPair& pty,
                          std::chrono::milliseconds stepTimeout = std::chrono::seconds(5));
    ~ScriptedPeer();
    ScriptedPeer(const ScriptedPeer&) = delete;
    ScriptedPeer& operator=(const ScriptedPeer&) = delete;

    // Reads exactly these bytes; anything else is a failure.
    ScriptedPeer& Expect(std::string bytes);
    // Reads one frame of any content up to and including ETX.
    ScriptedPeer& ExpectFrame();
    ScriptedPeer& Reply(std::string bytes);
    ScriptedPeer& Delay(std::chrono::milliseconds pause);
    // Writes the byte over and over until the peer is stopped, the line fails, or limit bytes
    // have gone out (so that a reader that never stops cannot keep a test running).
    ScriptedPeer& Stream(char fill, std::size_t limit);
    // Answers every frame with handler(frame) until the peer is stopped or the line closes.
    ScriptedPeer& Serve(Handler handler);
    ScriptedPeer& Hangup();

    void Start();
    // Waits for the end of the script (bounded by the step time-outs).
    void Finish();
    // Ends an endless step (Stream, Serve) and waits for the thread.
    void Stop();

    // Valid after Finish or Stop.
    const std::string& Received() const { return received_; }
    const std::vector<std::string>& Failures() const { return failures_; }
    std::size_t Streamed() const { return streamed_; }

private:
    struct Step {
        enum Kind { kExpect, kExpectFrame, kReply, kDelay, kStream, kServe, kHangup } kind;
        std::string bytes;
        std::chrono::milliseconds pause{0};
        Handler handler;
        std::size_t limit = 0;
    };
    enum class Io { kOk, kTimeout, kStopped, kClosed };

    void Run();
    bool RunStep(const Step& step);
    using Clock = std::chrono::steady_clock;
    // Reads what the line has into pending_, waiting until end for at least one byte.
    Io Fill(Clock::time_point end);
    Io ReadFrame(std::string& frame, Clock::time_point end);
    Io WriteAll(const std::string& bytes, Clock::time_point end);
    Io WaitFor(short events, Clock::time_point end);
    void Fail(std::string what);

    PtyPair& pty_;
    std::chrono::milliseconds stepTimeout_;
    std::vector<Step> steps_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    int wake_[2] = {-1, -1};
    std::string pending_;  // read from the line, not yet taken by a step
    std::string received_;
    std::vector<std::string> failures_;
    std::size_t streamed_ = 0;
};

// Bytes as a readable text for failure messages: printable characters as they are, the rest
// as <xx>.
std::string Printable(const std::string& bytes);

}  // namespace veltrin::testsupport
