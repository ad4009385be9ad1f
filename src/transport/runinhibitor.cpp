#include "transport/runinhibitor.h"

namespace veltrin {

const char kRunInhibitReason[] =
    "A pipette's firmware is being written. Wait until the update has finished.";

}  // namespace veltrin
