#pragma once

#include <atomic>
#include <istream>
#include <ostream>
#include <string>

#include "common/sleeper.h"

namespace veltrin {

// Where veltrin-cli talks to: the program passes the standard streams, tests string streams.
struct CliIo {
    std::ostream& Out;
    std::ostream& Err;
    std::istream& In;
    bool OutIsTerminal = false;
    bool InIsTerminal = false;
};

// What the program (or a test) sets up around a command.
struct CliEnvironment {
    SleepFunction Sleeper;                           // the worker's pauses; null: real sleeps
    const std::atomic<bool>* Interrupted = nullptr;  // set by Ctrl+C: cancel the running update
    // The user's update history; --history-file overrides it. Empty: update keeps no history
    // (the program passes the user's state folder; tests choose their own file or none).
    std::string HistoryFile;
};

// Exit statuses besides 0 and the update result codes.
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 64;
constexpr int kExitCancelled = 100;
constexpr int kExitNoUpdateData = 101;
constexpr int kExitSomeDevicesFailed = 102;
// No device was written: each was already on the release or newer, and was left alone.
constexpr int kExitLeftAlone = 103;

}  // namespace veltrin
