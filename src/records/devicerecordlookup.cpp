#include "records/devicerecordlookup.h"

#include <algorithm>

#include "records/variantrecords.h"

namespace veltrin {

bool LookupDeviceRecords(const ClQuorvanVariants& variants, std::int32_t variantId,
                         std::uint8_t config[kConfigImageSize],
                         std::uint8_t param[kParamImageSize]) {
    TSClQuorvanVariants_ParamRecord record{};
    if (!variants.FindVariant(variantId, record)) {
        ClearDeviceRecordImages(config, param);
        return false;
    }
    const ConfigRecordImage configImage = MakeConfigRecord(record);
    const ParamRecordImage paramImage = MakeParamRecord(record);
    std::copy(configImage.begin(), configImage.end(), config);
    std::copy(paramImage.begin(), paramImage.end(), param);
    return true;
}

}  // namespace veltrin
