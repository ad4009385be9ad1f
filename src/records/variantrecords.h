#pragma once

#include <array>
#include <cstdint>

#include "data/clquorvanvariants.h"
#include "engine/threadparams.h"

namespace veltrin {

using ConfigRecordImage = std::array<std::uint8_t, kConfigImageSize>;
using ParamRecordImage = std::array<std::uint8_t, kParamImageSize>;

// The device's configuration record (144 bytes) built from a variant record. The variant record
// is packed, the device record aligns its 8-byte values to multiples of 8; every byte that no
// field fills is zero, and the tip parameter version is cut to 14 characters plus a zero byte.
ConfigRecordImage MakeConfigRecord(const TSClQuorvanVariants_ParamRecord& record);

// The device's parameter record (338 bytes): the motor parameter version (cut like above), the
// ten aspirate rows and then the ten dispense rows as 14-byte rows without their Vmax, and the
// twenty Vmax values gathered behind the rows.
ParamRecordImage MakeParamRecord(const TSClQuorvanVariants_ParamRecord& record);

}  // namespace veltrin
