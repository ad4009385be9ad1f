#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

#include "download/updatedownload.h"
#include "engine/threadparams.h"

namespace veltrin {

// Fills the two device record images for a variant id; false (images zero) when unknown.
using VariantLookupFunction =
    std::function<bool(std::int32_t variantId, std::uint8_t config[kConfigImageSize],
                       std::uint8_t param[kParamImageSize])>;

// The two owner handlers every command-line owner answers the same way.

// FetchParams: the four firmware texts of the downloaded update data.
void CopyFirmwareInto(const UpdateData& data, TSThreadParams& params);

// LookupVariant: fills both device record images (zeros when the variant is unknown) and
// EventAnswer.
void LookupVariantInto(const VariantLookupFunction& lookup, TSThreadParams& params);

// The release version the update data holds for a device type's family (dd.dd.dd), empty when
// it holds none.
std::string ReleaseVersionFor(const UpdateData& data, int deviceType);

// End: when the run was refused because another run holds its device's port, one line per such
// port naming the holder, so the technician knows which process to wait for.
void ReportBusyPorts(const TSThreadParams& params, std::ostream& err);

}  // namespace veltrin
