#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace veltrin {

// Turns a failed Intel HEX pass (its result code and the line counter's value) into words a
// person can act on: where the fault is and what was wrong there, for example
// "line 1734: checksum 0x3C, expected 0x3D". The result codes stay what they are; this only
// explains them. Never throws; an empty text for success.

// What is wrong with one line, as the reader cut it, that ended a pass with code.
std::string DescribeHexLine(std::string_view line, int code);

// "line N: ..." for the N-th line (1-based, cut as the reader cuts lines) of the image; without a
// line number (the pass failed before reading) only the code's text.
std::string DescribeHexFault(std::string_view text, std::uint32_t line, int code);
std::string DescribeHexFault(std::FILE* file, std::uint32_t line, int code);

}  // namespace veltrin
