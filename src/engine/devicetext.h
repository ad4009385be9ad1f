#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace veltrin {

// A text field the device reports of itself (info text, version block) as one readable UTF-8
// line: the bytes are decoded from the device's code page (Windows-1252, so "Größe 10µl" stays
// that), the zero bytes that separate a version block's fields become single blanks, trailing
// zeros go, and control bytes and the code page's unassigned bytes become '?' so the line is
// safe in any record. Every device text enters the program here.
std::string DeviceFieldText(const std::uint8_t* bytes, std::size_t size);

}  // namespace veltrin
