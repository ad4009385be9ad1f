#pragma once

#include <cstddef>
#include <string>

namespace veltrin {

// Conversions between the program's UTF-8 texts and the UTF-16 texts of the Win32 "W" calls.
// Invalid sequences become U+FFFD instead of failing; an empty input gives an empty output.
std::wstring WideFromUtf8(const std::string& text);
std::string Utf8FromWide(const wchar_t* text, std::size_t length);
std::string Utf8FromWide(const std::wstring& text);

}  // namespace veltrin
