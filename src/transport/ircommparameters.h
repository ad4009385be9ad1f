#pragma once

#include <cstddef>
#include <cstdint>

namespace veltrin {

// Walks an IrCOMM "Parameters" octet sequence triplet by triplet (identifier, length, value) and
// tells whether its service-type triplet (identifier 0x00) has the nine-wire bit (0x04) in its
// first value byte. Nothing outside the sequence is read: a triplet whose first value byte lies
// beyond the end, or that has no value byte, ends or skips the walk.
bool SupportsNineWire(const std::uint8_t* sequence, std::size_t length);

}  // namespace veltrin
