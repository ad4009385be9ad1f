#pragma once

#include "data/clquorvanvariants.h"
#include "owners/ownerhandlers.h"

namespace veltrin {

// Answers the worker's variant lookups from the downloaded variant table, with the device
// record images from the same lookup the window uses.
VariantLookupFunction MakeVariantLookup(const ClQuorvanVariants& variants);

}  // namespace veltrin
