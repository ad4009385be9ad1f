#include <string>

#include "engine/clthreadimpl.h"
#include "transport/runinhibitor.h"

namespace veltrin {

void ClTreadImpl::InhibitSessionEnd() {
    std::string problem;
    params_.InhibitorHeld = AcquireRunInhibitor(inhibitor_, problem) == 0;
    params_.InhibitorProblem = params_.InhibitorHeld ? "" : problem;
    if (params_.InhibitorHeld) {
        Trace("Shutdown and sleep held off for the update");
    } else {
        // Containers and chroots have no login manager; the update is still worth doing there.
        Trace("No shutdown inhibitor could be taken: " + problem);
    }
}

}  // namespace veltrin
