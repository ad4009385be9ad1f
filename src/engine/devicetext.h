#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace veltrin {

// A text field the device reports of itself (info text, version block) as one readable line:
// the zero bytes that separate a version block's fields become single blanks, trailing zeros
// go, and bytes outside printable ASCII become '?' so the line is safe in any record.
std::string DeviceFieldText(const std::uint8_t* bytes, std::size_t size);

}  // namespace veltrin
