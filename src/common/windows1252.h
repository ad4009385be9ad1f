#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace veltrin {

// Windows-1252: the 8-bit code page the pipettes keep their own texts in (info text, version
// blocks), the one of the lab PCs they were made for. Latin-1 with typographic marks and the
// euro sign in 0x80-0x9F, so "Größe 10µl" is 47 72 F6 DF 65 20 31 30 B5 6C.

// The code point of a byte; 0 for the five bytes the code page leaves unassigned.
char32_t CodePointOfWindows1252(std::uint8_t byte);

// Appends a code point as UTF-8.
void AppendUtf8(std::string& text, char32_t codePoint);

// UTF-8 text in Windows-1252, as a device would hold it: a character the code page lacks, and
// a byte that is not UTF-8, become '?'.
std::string Windows1252FromUtf8(std::string_view text);

}  // namespace veltrin
