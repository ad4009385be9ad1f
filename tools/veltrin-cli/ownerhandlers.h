#pragma once

#include "download/updatedownload.h"
#include "engine/threadparams.h"
#include "terminalowner.h"

namespace veltrin {

// The two owner handlers every command-line owner answers the same way.

// FetchParams: the four firmware texts of the downloaded update data.
void CopyFirmwareInto(const UpdateData& data, TSThreadParams& params);

// LookupVariant: fills both device record images (zeros when the variant is unknown) and
// EventAnswer.
void LookupVariantInto(const VariantLookupFunction& lookup, TSThreadParams& params);

}  // namespace veltrin
