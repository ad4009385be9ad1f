#pragma once

#include "windowlogic/tsmainparams.h"

namespace veltrin {

// How long the window waits before it fetches the update data again.
inline constexpr int kDownloadRetryMs = 1000;

// Whether the window fetches the update data again: only while a firmware file is missing.
// Once both files are at hand it keeps them, even if neither passed its check: a broken
// release is not fetched again and again by every lab PC; a sound one is found at the next
// start of the program.
bool DownloadRetryWanted(const TSMainParams& params);

}  // namespace veltrin
