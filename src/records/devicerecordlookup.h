#pragma once

#include <cstdint>

#include "data/clquorvanvariants.h"
#include "engine/threadparams.h"

namespace veltrin {

// Answers a worker's variant lookup from the downloaded variant table: the first variant with
// the id yields both device records; an unknown id (or an empty table) yields two all-zero
// records, so a device is never sent what an earlier lookup left behind. Returns found.
bool LookupDeviceRecords(const ClQuorvanVariants& variants, std::int32_t variantId,
                         std::uint8_t config[kConfigImageSize],
                         std::uint8_t param[kParamImageSize]);

}  // namespace veltrin
