#include "commands/variantlookup.h"

#include "records/devicerecordlookup.h"

namespace veltrin {

VariantLookupFunction MakeVariantLookup(const ClQuorvanVariants& variants) {
    return [&variants](std::int32_t variantId, std::uint8_t config[kConfigImageSize],
                       std::uint8_t param[kParamImageSize]) {
        return LookupDeviceRecords(variants, variantId, config, param);
    };
}

}  // namespace veltrin
