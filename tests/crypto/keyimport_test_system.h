#pragma once

namespace veltrin {

// Whether the system's key import refuses a point off its curve. libcrypto and Windows' CNG do;
// Wine's CNG imports such a point unchecked (and then verifies no signature with it).
bool KeyImportChecksThePoint();

}  // namespace veltrin
