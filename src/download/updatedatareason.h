#pragma once

#include <string>

#include "download/updatedownload.h"

namespace veltrin {

// Why a download brought no usable firmware, in one line of printable text: the index could
// not be fetched, the folder was refused (and why), or which firmware file failed and how.
// Both front ends show it after "No data found for update." and write it to the trace.
std::string NoUpdateDataReason(const UpdateDownloadReport& report);

}  // namespace veltrin
