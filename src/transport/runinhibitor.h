#pragma once

#include <memory>
#include <string>

namespace veltrin {

// The computer's promise not to shut down, log off or sleep while a pipette is written, for as
// long as the object lives. An update cut in the middle leaves the pipette in its bootloader and
// costs the lab a recovery run, so the run holds one from the claim of its port to its end.
// One backend per system: a logind inhibitor lock (Linux); a blocked session end and the
// "system required" execution state (Windows).
class RunInhibitor {
public:
    virtual ~RunInhibitor() = default;
};

// The reason a person sees when the system asks why it may not shut down.
extern const char kRunInhibitReason[];

// 0: held, inhibitor set. Otherwise the system's error number, inhibitor stays null, problem
// says in words why none could be taken (no system bus, no login manager, refused); the run
// goes on without one.
int AcquireRunInhibitor(std::unique_ptr<RunInhibitor>& inhibitor, std::string& problem);

}  // namespace veltrin
