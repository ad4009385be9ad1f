#pragma once

namespace veltrin {

// Makes Tahoma available to the process where the system's font configuration lacks it: Debian
// ships Wine's Tahoma (package fonts-wine, of the same metrics) in a folder that fontconfig does
// not search. Loads the regular and bold faces once; later calls do nothing. Returns whether a
// face named Tahoma is available afterwards.
bool EnsureTahomaLoaded();

}  // namespace veltrin
