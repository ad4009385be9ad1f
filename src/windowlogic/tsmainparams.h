#pragma once

#include <cstdint>
#include <string>

namespace veltrin {

// What follows the end dialog; its values are the end dialog's modal results.
enum NextActionValue : std::int32_t {
    NEXT_ACTION_NONE = 0,
    NEXT_ACTION_START = 1,
    NEXT_ACTION_EXIT = 2,
};

// The main window's own state. Only the download writes the four texts; every worker gets a
// copy of them when it starts.
struct TSMainParams {
    std::int32_t NextAction =
        NEXT_ACTION_NONE;        // kept after use; cleared when it could not be done
    bool ThreadRunning = false;  // from a worker's creation until its end has been handled
    std::string HexQuorvanOtg;
    std::string VersionQuorvanOtg;  // "Version dd.dd.dd" of a firmware that passed the check
    std::string HexTarnovelleK7;
    std::string VersionTarnovelleK7;
};

}  // namespace veltrin
