#pragma once

#include <cstdint>

namespace veltrin {

// The two families the updater serves; every other device type is refused.
bool IsQuorvanOtgType(int type);    // 9, 10, 11: the electronic pipette
bool IsTarnovelleK7Type(int type);  // 6, 7: the dispensing pipette
bool IsSupportedType(int type);

// Battery states (0 to 16) in which an update may run: 1 to 4 and 7 to 12.
bool IsBatteryOk(int status);

// The variant ids a device record may carry; anything else means the record holds no variant.
bool IsKnownVariant(std::int32_t variantId);

}  // namespace veltrin
